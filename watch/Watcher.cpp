#include "watch/Watcher.h"

#include "capture/CaptureWindow.h"
#include "detect/MaskFile.h"
#include "history/AlarmHistory.h"
#include "history/HistoryLog.h"
#include "history/StorageKeeper.h"
#include "mail/MailTransport.h"
#include "notify/AlarmCommands.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "sound/SoundPlayer.h"
#include "upload/AlarmRecording.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <utility>

namespace {

constexpr int kDriverIndices = 10;
constexpr int kPreviewRateMs = 66;
// How long closing waits for a background upload before ending its client
// (one cut short is sent at the next start): the whole close stays within 3 s.
constexpr std::chrono::seconds kUploadsAtClose{1};

}  // namespace

Watcher::Watcher(QObject* parent)
    : QObject(parent), Timer1(new QTimer(this)), Timer2(new QTimer(this)), camera_(std::make_unique<CaptureWindow>())
{
    hCapWnd = camera_.get();
    detector_.keepDifferences(false);
    connect(Timer1, &QTimer::timeout, this, &Watcher::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Watcher::Timer2_Timer);
    connectUploads();
}

Watcher::~Watcher()
{
    closing_ = true;
    endMail();
    if (hCapWnd == camera_.get())
        hCapWnd = nullptr;
}

QString Watcher::cameraName() const
{
    // A network camera's driver names it with its account masked.
    return camera_->driverName();
}

bool Watcher::connectCamera()
{
    bool connected = false;
    for (int index = 0; index < kDriverIndices && !connected; ++index)
        connected = capDriverConnect(camera_.get(), index);
    if (!connected)
        return false;
    capPreviewRate(camera_.get(), kPreviewRateMs);
    capPreviewScale(camera_.get(), true);
    capPreview(camera_.get(), true);
    return true;
}

void Watcher::startWatching()
{
    restoreTimeLine();
    startRemembering();
    startDetector();
    setWatching(true);
    tell({.kind = WatchEvent::Kind::Started, .name = cameraName(), .detail = maskSummary()});
}

void Watcher::startRemembering()
{
    if (history_ != nullptr)
        return;
    // A clip waiting for its background upload stays until it has gone up.
    storageKeeper_ = std::make_unique<StorageKeeper>(
        appFolder(), [this](const WatchEvent& event) { tell(event); }, [this] { return uploads_->clipsToSend(); });
    history_ = std::make_unique<AlarmHistory>(historyLogPath());
    commands_ = std::make_unique<AlarmCommands>([this](const WatchEvent& event) { tell(event); });
    // The uploads a close or a kill cut short go first, and their clips stay.
    sResumeCutUploads(*uploads_);
    storageKeeper_->keepAfterStart(historyLogPath());
}

void Watcher::tell(const WatchEvent& event)
{
    diskNote_.hear(event);
    if (storageKeeper_ != nullptr)
        storageKeeper_->hear(event);
    if (history_ != nullptr)
        history_->hear(event);
    if (commands_ != nullptr)
        commands_->hear(event);
    events_.tell(event);
}

void Watcher::suspend()
{
    suspended_ = true;
    stopDetector();
    capPreview(camera_.get(), false);
    setWatching(false);
}

void Watcher::resume()
{
    // A close that came meanwhile has already let the camera go.
    if (closing_)
        return;
    suspended_ = false;
    capPreview(camera_.get(), true);
    startDetector();
    setWatching(true);
}

void Watcher::setWatching(bool watching)
{
    if (watching == watching_)
        return;
    watching_ = watching;
    emit watchingChanged(watching);
}

void Watcher::shutDown()
{
    if (closing_)
        return;
    closing_ = true;
    // The alarm under way ends here: the steps still to come are left undone,
    // its clip is closed whole with the camera and its upload kept for the next start.
    sequence_.abandon();
    clip_.abandon();
    foregroundUpload_.clear();
    alarmsWaiting_.clear();
    // An alarm mail under way ends now rather than holding the exit, and what
    // it told comes before Stopped; its end finds the alarm over.
    endMail();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    stopDetector();
    setWatching(false);
    emit commandsLocked(true);
    sClearCapture();
    uploads_->shutDown(kUploadsAtClose);
    // A script left behind when the FTP client could not run holds a password.
    QFile::remove(appFilePath(QStringLiteral("FTP_PUT.txt")));
    const bool saved = sSaveSettingsReported();
    Timer2->stop();
    sSoundClose(Settings.COM.SoundPath);
    keepTimeLine();
    tell({.kind = WatchEvent::Kind::Stopped,
          .ok = saved,
          .detail = saved ? QString() : QStringLiteral("the settings could not be saved")});
}

void Watcher::sClearCapture()
{
    capDriverDisconnect(camera_.get());
}

void Watcher::startDetector()
{
    // Watching (re)starts with the settings as they are now, pre-event frames and mask included.
    sKeepPreEventFrames();
    takeMask();
    detector_.keepComparedReference(Settings.EXT.LIGHTCUT);
    Timer1->start(Settings.COM.TIMER * 100);
}

void Watcher::takeMask()
{
    const QString path = maskFilePath();
    const MaskSource::Taken taken = maskSource_.take(Settings.EXT.MASK, path);
    detector_.setMask(taken.weights);
    emit maskTaken(taken.weights);
    if (!taken.tellNow)
        return;
    const QString why = maskProblemText(maskSource_.problem());
    std::fprintf(stderr, "houndly: mask %s not used: %s; watching the whole picture\n",
                 qPrintable(QDir::toNativeSeparators(path)), qPrintable(why));
    emit statusShown(maskProblemStatusText(maskSource_.problem()));
    tell({.kind = WatchEvent::Kind::MaskUnusable, .name = path, .detail = why});
}

QString Watcher::maskSummary() const
{
    return ::maskSummary(detector_.mask(), Settings.EXT.MASK, maskSource_.problem());
}

void Watcher::stopDetector()
{
    Timer1->stop();
    Timer1->setInterval(0);
}

void Watcher::Timer2_Timer()
{
    sSoundRepeat(Settings.COM.SoundPath);
}

void Watcher::Timer1_Timer()
{
    // A tick queued before detection stopped is ignored.
    if (!Timer1->isActive())
        return;
    stopDetector();
    tellCameraState();
    if (suspended_)
        return;

    // Any failure inside ends the tick quietly; detection goes on.
    inTick_ = true;
    try {
        const std::optional<DetectionResult> result = detector_.sDetectFrame(camera_.get(), SkipCompare);
        if (result) {
            emit ticked(result->count, result->compared ? detector_.differenceImage() : QImage());
            sAlarmDecision(result->count);
        }
    } catch (const std::exception&) {
        recoverFromFailure();
    }
    inTick_ = false;
    // An alarm holds the detector until it is over unless watching goes on through it.
    if (!sequence_.running() || sequence_.order().keepWatching)
        startDetector();
}

void Watcher::recoverFromFailure()
{
    // An alarm cut short must not leave the commands locked.
    const bool locked = sequence_.running() && !sequence_.order().keepWatching;
    sequence_.abandon();
    clip_.abandon();
    foregroundUpload_.clear();
    if (locked)
        emit commandsLocked(false);
    nextAlarm();
}

void Watcher::endMail()
{
    if (!mailThread_.joinable())
        return;
    // A transfer begun between two looks is cancelled at the next one.
    constexpr auto kBound = std::chrono::milliseconds(2500);
    constexpr auto kLook = std::chrono::milliseconds(20);
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (!mailEnded_ && std::chrono::steady_clock::now() < deadline) {
        cancelMailInProgress();
        std::this_thread::sleep_for(kLook);
    }
    mailThread_.join();
}

void Watcher::tellCameraState()
{
    const bool lost = camera_->sourceLost();
    if (lost == cameraLost_)
        return;
    cameraLost_ = lost;
    tell({.kind = lost ? WatchEvent::Kind::CameraLost : WatchEvent::Kind::CameraBack, .name = cameraName()});
}

void Watcher::connectUploads()
{
    uploads_ = new UploadQueue(this);
    connect(uploads_, &UploadQueue::uploaded, this, [this](const ClipUpload& upload, bool ok, const QString& reason) {
        tell({.kind = WatchEvent::Kind::Uploaded, .ok = ok, .name = upload.remoteName, .detail = reason,
              .clip = upload.clipPath});
        uploadEnded(upload);
    });
    connect(uploads_, &UploadQueue::dropped, this, [this](const ClipUpload& upload) {
        const QString clip = QFileInfo(upload.clipPath).fileName();
        emit statusShown(tr("Houndly: 送信待ちが多すぎるワン！ %1 は送らないワン").arg(clip));
        tell({.kind = WatchEvent::Kind::Uploaded,
              .ok = false,
              .name = upload.remoteName,
              .detail = tr("送信待ちが多すぎるため送信しませんでした: %1").arg(clip),
              .clip = upload.clipPath});
        uploadEnded(upload);
    });
    connect(uploads_, &UploadQueue::cut, this, [this](const ClipUpload& upload) {
        tell({.kind = WatchEvent::Kind::Uploaded,
              .ok = false,
              .name = upload.remoteName,
              .detail = uploadCutText() + QStringLiteral(": ") + QFileInfo(upload.clipPath).fileName(),
              .clip = upload.clipPath});
        uploadEnded(upload);
    });
}
