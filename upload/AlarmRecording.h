#pragma once

#include "settings/StatusText.h"
#include "settings/WatchEvent.h"
#include "upload/UploadQueue.h"

#include <functional>
#include <memory>
#include <optional>

class SequenceEnd;

// Keeps the camera's last PRETIME seconds while recording and pre-event
// recording are on; keeps nothing otherwise.
void sKeepPreEventFrames();
// Hands the uploads that a close or a kill cut short to the background
// uploads, as the FTP settings now ask; none while uploading is off.
void sResumeCutUploads(UploadQueue& uploads);

// The alarm clip of hCapWnd, as the FTP settings ask for it, recorded while
// the event loop runs on: nothing waits for it.
class AlarmClip {
public:
    // The clip as the watch events tell it, and its upload when uploading is on.
    using Recorded = std::function<void(const WatchEvent& clip, const std::optional<ClipUpload>& upload)>;

    AlarmClip();
    ~AlarmClip();

    // With pre-event recording on, starts the clip at once, PRETIME seconds
    // before the alarm frame, so that it runs on through the mail; otherwise nothing.
    void sStartAlarmClip();
    // The recording step: false when the settings ask for no clip and none was
    // begun at the alarm. Otherwise
    // the clip is recorded (or the one begun at the alarm ends TIME seconds
    // from now) and `recorded` is called once it is whole (or failed), from
    // the event loop, or at once when it could not start.
    bool sRecordAlarmClip(const StatusText& showStatus, Recorded recorded);
    // The clip is no longer followed: the camera, let go, closes it whole, and
    // its upload stays pending for the next start.
    void abandon();

private:
    void finish(bool written);

    std::optional<QString> started_;  // the clip begun at the alarm, until the recording step ends it
    QString path_;
    Recorded recorded_;
    std::unique_ptr<SequenceEnd> end_;
};
