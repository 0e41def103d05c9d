#pragma once

#include "settings/StatusText.h"
#include "upload/UploadQueue.h"

#include <optional>

// Records the alarm clip when the FTP settings ask for it; the clip's upload
// when uploading is on too, otherwise nothing.
std::optional<ClipUpload> sRecordAlarmClip(const StatusText& showStatus);
// Uploads a recorded clip now and returns when the client has ended.
void sUploadAlarmClip(const ClipUpload& upload, const StatusText& showStatus);
// Records the alarm clip and uploads it, as the FTP settings ask.
void sStartAVI(const StatusText& showStatus);
