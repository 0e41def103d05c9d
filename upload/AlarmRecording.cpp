#include "upload/AlarmRecording.h"

#include "capture/CaptureWindow.h"
#include "capture/SequenceEnd.h"
#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/DiskSpace.h"
#include "settings/Settings.h"
#include "settings/WatchEvent.h"
#include "upload/PendingUploads.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

// The capture parameters are exchanged in their 92-byte form.
constexpr int kCaptureParmsSize = 92;
constexpr uint32_t kMicroSecondsPerFrame = 33333;  // 30 frames a second

const QString kTrue = QStringLiteral("True");
const QString kFixedClipName = QStringLiteral("ALERT.AVI");

void show(const StatusText& showStatus, const QString& text)
{
    if (showStatus)
        showStatus(text);
}

// A clip that reaches back before the alarm has its end set by the recording step.
void setUpSequence(bool reachesBack)
{
    CAPTUREPARMS parms;
    capCaptureGetSetup(hCapWnd, &parms, kCaptureParmsSize);
    parms.dwRequestMicroSecPerFrame = kMicroSecondsPerFrame;
    parms.fMakeUserHitOKToCapture = false;
    parms.fCaptureAudio = Settings.FTP.AUDIO == kTrue;
    parms.fAbortLeftMouse = false;
    parms.fAbortRightMouse = false;
    parms.fLimitEnabled = !reachesBack;
    parms.wTimeLimit = static_cast<uint32_t>(std::max<int16_t>(Settings.FTP.TIME, 0));
    capCaptureSetSetup(hCapWnd, &parms, kCaptureParmsSize);
}

int16_t preEventSeconds()
{
    return Settings.FTP.MOVE == kTrue ? Settings.EXT.PRETIME : int16_t{0};
}

// appFolder() makes the clip folder again when it has been removed. A clip
// of the same second is there already: this one gets a name of its own.
QString newClipPath()
{
    return unusedTimeStampedPath(appFilePath(QStringLiteral("avi")), QDateTime::currentDateTime(),
                                 QStringLiteral("ALERT.AVI"));
}

// A new clip's path. Its upload, when uploading is on, is pending from now on,
// so that a kill between the clip's end and the upload's start loses neither.
QString pendingClipPath()
{
    const QString path = newClipPath();
    if (Settings.FTP.FTP == kTrue)
        notePendingUpload(appFolder(), path);
    return path;
}

// The clip's upload as the FTP settings ask for it now.
ClipUpload clipUploadOf(const QString& clipPath)
{
    const bool fixedName = Settings.FTP.FILENAME == kTrue;
    return ClipUpload{clipPath,
                      fixedName ? kFixedClipName : QFileInfo(clipPath).fileName(),
                      fixedName ? appFilePath(QStringLiteral("avi/")) + kFixedClipName : QString(),
                      Settings.FTP.HOLDER,
                      {appFolder(), Settings.FTP.HOST, Settings.FTP.USER, Settings.FTP.PASS, Settings.EXT.FTPMODE}};
}

}  // namespace

void sKeepPreEventFrames()
{
    if (hCapWnd)
        hCapWnd->setPreEventLength(std::chrono::seconds(std::max<int16_t>(preEventSeconds(), 0)));
}

AlarmClip::AlarmClip() = default;
AlarmClip::~AlarmClip() = default;

void AlarmClip::sStartAlarmClip()
{
    // One begun by an alarm that a close cut short is no longer this alarm's.
    started_.reset();
    if (preEventSeconds() <= 0 || !hCapWnd)
        return;
    setUpSequence(true);
    started_ = pendingClipPath();
    capFileSetCaptureFile(hCapWnd, *started_);
    capCaptureSequence(hCapWnd);
}

bool AlarmClip::sRecordAlarmClip(const StatusText& showStatus, Recorded recorded)
{
    // A clip begun at the alarm is finished even when recording was turned off since.
    const std::optional<QString> begun = std::exchange(started_, std::nullopt);
    if (Settings.FTP.MOVE != kTrue && !begun)
        return false;
    show(showStatus, QCoreApplication::translate("AlarmRecording", "Houndly: 動画録画中･･･"));
    recorded_ = std::move(recorded);
    const std::chrono::seconds length(std::max<int16_t>(Settings.FTP.TIME, 0));
    bool running = false;
    if (begun) {
        path_ = *begun;
        running = capCaptureFinish(hCapWnd, length);
    } else {
        setUpSequence(false);
        path_ = pendingClipPath();
        running = capFileSetCaptureFile(hCapWnd, path_) && capCaptureSequence(hCapWnd);
    }
    if (!running) {
        finish(false);
        return true;
    }
    end_ = std::make_unique<SequenceEnd>(*hCapWnd, length);
    QObject::connect(end_.get(), &SequenceEnd::ended, [this](bool written) {
        // Its signal is still being told.
        end_.release()->deleteLater();
        finish(written);
    });
    return true;
}

void AlarmClip::abandon()
{
    started_.reset();
    end_.reset();
    recorded_ = nullptr;
}

void AlarmClip::finish(bool written)
{
    const WatchEvent clip{.kind = WatchEvent::Kind::ClipRecorded, .ok = written, .name = path_,
                          .detail = written ? QString()
                                    : isDiskFull(path_)
                                        ? diskFullText()
                                        : QCoreApplication::translate("AlarmRecording", "動画を録画できませんでした。")};
    const std::optional<ClipUpload> upload =
        Settings.FTP.FTP == kTrue ? std::optional<ClipUpload>(clipUploadOf(path_)) : std::nullopt;
    if (const Recorded recorded = std::exchange(recorded_, nullptr))
        recorded(clip, upload);
}

void sResumeCutUploads(UploadQueue& uploads)
{
    // Kept until uploading is on again.
    if (Settings.FTP.FTP != kTrue)
        return;
    for (const QString& clip : pendingUploads(appFolder())) {
        // A kill during the recording left no clip.
        if (QFileInfo::exists(clip))
            uploads.add(clipUploadOf(clip));
        else
            clearPendingUpload(appFolder(), clip);
    }
}
