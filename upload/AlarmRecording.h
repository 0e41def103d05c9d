#pragma once

#include "settings/StatusText.h"
#include "settings/WatchEvent.h"
#include "upload/UploadQueue.h"

#include <optional>

// Keeps the camera's last PRETIME seconds while recording and pre-event
// recording are on; keeps nothing otherwise.
void sKeepPreEventFrames();
// With pre-event recording on, starts the alarm clip at once, PRETIME seconds
// before the alarm frame, so that it runs on through the mail; otherwise nothing.
void sStartAlarmClip();
// Records the alarm clip when the FTP settings ask for it (or ends the one
// begun at the alarm, TIME seconds from now); the clip's upload when
// uploading is on too, otherwise nothing. The clip is told to `tell`.
std::optional<ClipUpload> sRecordAlarmClip(const StatusText& showStatus, const WatchTeller& tell);
// Uploads a recorded clip now and returns when the client has ended; tells the
// upload. One the program's close cuts short stays pending for the next start.
void sUploadAlarmClip(const ClipUpload& upload, const StatusText& showStatus, const WatchTeller& tell);
// Hands the uploads that a close or a kill cut short to the background
// uploads, as the FTP settings now ask; none while uploading is off.
void sResumeCutUploads(UploadQueue& uploads);
// Records the alarm clip and uploads it, as the FTP settings ask.
void sStartAVI(const StatusText& showStatus, const WatchTeller& tell);
