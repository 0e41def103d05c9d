#include "upload/AlarmRecording.h"

#include "capture/CaptureWindow.h"
#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/Settings.h"
#include "upload/FtpScriptRunner.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <filesystem>

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

void setUpSequence()
{
    CAPTUREPARMS parms;
    capCaptureGetSetup(hCapWnd, &parms, kCaptureParmsSize);
    parms.dwRequestMicroSecPerFrame = kMicroSecondsPerFrame;
    parms.fMakeUserHitOKToCapture = false;
    parms.fCaptureAudio = Settings.FTP.AUDIO == kTrue;
    parms.fAbortLeftMouse = false;
    parms.fAbortRightMouse = false;
    parms.fLimitEnabled = true;
    parms.wTimeLimit = static_cast<uint32_t>(std::max<int16_t>(Settings.FTP.TIME, 0));
    capCaptureSetSetup(hCapWnd, &parms, kCaptureParmsSize);
}

// Replaces the fixed-name copy; false when the clip cannot be copied.
bool copyReplacing(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::copy_file(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(),
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

}  // namespace

void sStartAVI(const StatusText& showStatus)
{
    if (Settings.FTP.MOVE != kTrue)
        return;
    show(showStatus, QStringLiteral("Houndly: 動画録画中･･･"));
    setUpSequence();

    // appFolder() makes the clip folder again when it has been removed.
    const QString clipFolder = appFilePath(QStringLiteral("avi/"));
    const QString clipName = fileTimeStamp(QDateTime::currentDateTime()) + QStringLiteral("ALERT.AVI");
    const QString clipPath = clipFolder + clipName;
    capFileSetCaptureFile(hCapWnd, clipPath);
    capCaptureSequence(hCapWnd);
    capCaptureStop(hCapWnd);

    if (Settings.FTP.FTP != kTrue)
        return;
    show(showStatus, QStringLiteral("Houndly: FTPで送信中･･･"));
    FtpScriptDir = appFolder();
    FtpHost = Settings.FTP.HOST;
    FtpUser = Settings.FTP.USER;
    FtpPassword = Settings.FTP.PASS;

    QString remoteName = clipName;
    QString localPath = clipPath;
    if (Settings.FTP.FILENAME == kTrue) {
        remoteName = kFixedClipName;
        // Without the copy the clip itself still goes up under the fixed name.
        const QString fixedPath = clipFolder + kFixedClipName;
        if (copyReplacing(clipPath, fixedPath))
            localPath = fixedPath;
    }
    sFtpPut(remoteName, localPath, Settings.FTP.HOLDER, QStringLiteral("binary"));
}
