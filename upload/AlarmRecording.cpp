#include "upload/AlarmRecording.h"

#include "capture/CaptureWindow.h"
#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/DiskSpace.h"
#include "settings/Settings.h"
#include "settings/WatchEvent.h"
#include "upload/FtpScriptRunner.h"
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

// The clip begun at the alarm, until the recording step ends it.
std::optional<QString> startedClip;

void show(const StatusText& showStatus, const QString& text)
{
    if (showStatus)
        showStatus(text);
}

void setUpSequence(bool inBackground)
{
    CAPTUREPARMS parms;
    capCaptureGetSetup(hCapWnd, &parms, kCaptureParmsSize);
    parms.dwRequestMicroSecPerFrame = kMicroSecondsPerFrame;
    parms.fMakeUserHitOKToCapture = false;
    parms.fCaptureAudio = Settings.FTP.AUDIO == kTrue;
    parms.fAbortLeftMouse = false;
    parms.fAbortRightMouse = false;
    // A clip begun at the alarm has its end set by the recording step.
    parms.fYield = inBackground;
    parms.fLimitEnabled = !inBackground;
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
                      appFolder(),
                      Settings.FTP.HOST,
                      Settings.FTP.USER,
                      Settings.FTP.PASS};
}

bool recordClip(const QString& clipPath)
{
    capFileSetCaptureFile(hCapWnd, clipPath);
    const bool recorded = capCaptureSequence(hCapWnd);
    capCaptureStop(hCapWnd);
    return recorded;
}

}  // namespace

void sKeepPreEventFrames()
{
    if (hCapWnd)
        hCapWnd->setPreEventLength(std::chrono::seconds(std::max<int16_t>(preEventSeconds(), 0)));
}

void sStartAlarmClip()
{
    // One begun by an alarm that a close cut short is no longer this alarm's.
    startedClip.reset();
    if (preEventSeconds() <= 0 || !hCapWnd)
        return;
    setUpSequence(true);
    startedClip = pendingClipPath();
    capFileSetCaptureFile(hCapWnd, *startedClip);
    capCaptureSequence(hCapWnd);
}

std::optional<ClipUpload> sRecordAlarmClip(const StatusText& showStatus, const WatchTeller& tell)
{
    if (Settings.FTP.MOVE != kTrue)
        return std::nullopt;
    show(showStatus, QCoreApplication::translate("AlarmRecording", "Houndly: 動画録画中･･･"));
    const std::optional<QString> begun = std::exchange(startedClip, std::nullopt);
    QString clipPath;
    bool recorded = false;
    if (begun) {
        clipPath = *begun;
        recorded = capCaptureFinish(hCapWnd, std::chrono::seconds(std::max<int16_t>(Settings.FTP.TIME, 0)));
    } else {
        setUpSequence(false);
        clipPath = pendingClipPath();
        recorded = recordClip(clipPath);
    }
    tell({.kind = WatchEvent::Kind::ClipRecorded, .ok = recorded, .name = clipPath,
                    .detail = recorded ? QString()
                              : isDiskFull(clipPath)
                                  ? diskFullText()
                                  : QCoreApplication::translate("AlarmRecording", "動画を録画できませんでした。")});

    if (Settings.FTP.FTP != kTrue)
        return std::nullopt;
    return clipUploadOf(clipPath);
}

void sUploadAlarmClip(const ClipUpload& upload, const StatusText& showStatus, const WatchTeller& tell)
{
    show(showStatus, QCoreApplication::translate("AlarmRecording", "Houndly: FTPで送信中･･･"));
    FtpScriptDir = upload.scriptFolder;
    FtpHost = upload.host;
    FtpUser = upload.user;
    FtpPassword = upload.password;
    notePendingUpload(upload.scriptFolder, upload.clipPath);
    const FtpPutResult result =
        ftpPut(upload.remoteName, uploadSource(upload), upload.remoteFolder, QStringLiteral("binary"));
    if (!result.cut)
        clearPendingUpload(upload.scriptFolder, upload.clipPath);
    tell({.kind = WatchEvent::Kind::Uploaded, .ok = result.uploaded, .name = upload.remoteName,
          .detail = result.cut ? uploadCutText() : result.reason, .clip = upload.clipPath});
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

void sStartAVI(const StatusText& showStatus, const WatchTeller& tell)
{
    if (const std::optional<ClipUpload> upload = sRecordAlarmClip(showStatus, tell))
        sUploadAlarmClip(*upload, showStatus, tell);
}
