// The alarm decision at the end of a detector tick: status texts, lamps,
// sound, and for an alarm the mail and the recording. The alarm's mail runs
// on a thread of its own and reports its end through the event loop; until
// the alarm is over the detector does not tick, unless KEEPWATCH keeps it
// going, and then an alarm that comes meanwhile waits its turn.
#include "watch/Watcher.h"

#include "detect/TimeLineFile.h"
#include "mail/AlarmMail.h"
#include "mail/MailAccount.h"
#include "settings/Settings.h"
#include "sound/SoundPlayer.h"
#include "upload/AlarmRecording.h"

#include <QDateTime>
#include <QTimer>

#include <exception>
#include <utility>

namespace {

constexpr int kSoundRepeatMs = 100;

}  // namespace

void Watcher::sAlarmDecision(int32_t count)
{
    const LightLevel tick = classifyTick(count, Settings.COM.CKSUM, Settings.EXT.LIGHTCUT,
                                         [this] { return detector_.lightChange(); });
    if (tick.level != AlarmLevel::Alarm) {
        sSoundClose(Settings.COM.SoundPath);
        Timer2->stop();
        showLevel(tick.level);
        if (tick.lightOnly)
            emit statusShown(lightChangeStatusText());
        drawTimeLine(count, tick.level);
        return;
    }
    if (!alarmRunning_) {
        // Its bar is drawn when it is over.
        startAlarm(count, detector_.latestFrame());
        return;
    }
    // Watching through an alarm: this one waits its turn with its own picture.
    SkipCompare = true;
    showLevel(AlarmLevel::Alarm);
    drawTimeLine(count, AlarmLevel::Alarm);
    alarmsWaiting_.push_back({count, detector_.latestFrame()});
    if (alarmsWaiting_.size() > kMostWaitingAlarms) {
        const Alarm dropped = alarmsWaiting_.front();
        alarmsWaiting_.pop_front();
        emit statusShown(tr("Houndly: 警報が多すぎるワン！ 検知数 %1 の警報は送らないワン").arg(dropped.count));
        tell({.kind = WatchEvent::Kind::AlarmDropped, .count = dropped.count, .alarmCount = Settings.COM.CKSUM});
    }
}

void Watcher::startAlarm(int32_t count, const QImage& frame)
{
    alarmRunning_ = true;
    alarm_ = {count, frame};
    startAlarmSequence(*this, count, Settings.COM.CKSUM);
}

void Watcher::mailSent()
{
    if (mailThread_.joinable())
        mailThread_.join();
    // A step of the alarm, like the tick that began it: a shutdown within it tells Stopped at its end.
    const bool inTick = std::exchange(inTick_, true);
    try {
        finishAlarmSequence(*this, {.backgroundUpload = Settings.EXT.BGUPLOAD});
        drawTimeLine(alarm_.count, AlarmLevel::Alarm);
    } catch (const std::exception&) {
        recoverFromFailure();
    }
    inTick_ = inTick;
    if (closing_) {
        if (!inTick_)
            tellStopped();
        return;
    }
    if (!alarmRunning_)  // a failure ended it
        return restartAfterAlarm();
    alarmRunning_ = false;
    if (!alarmsWaiting_.empty()) {
        const Alarm next = alarmsWaiting_.front();
        alarmsWaiting_.pop_front();
        startAlarm(next.count, next.frame);
        return;
    }
    restartAfterAlarm();
}

void Watcher::restartAfterAlarm()
{
    // The detector waited by not ticking; the tick the alarm came in, or one
    // that came meanwhile (KEEPWATCH), re-arms it itself.
    if (!inTick_ && !Timer1->isActive())
        startDetector();
}

void Watcher::showLevel(AlarmLevel level)
{
    emit statusShown(alarmStatusText(level));
    emit levelShown(level);
}

void Watcher::startSound()
{
    if (!Settings.COM.SoundPath.isEmpty()) {
        sSoundPlay(Settings.COM.SoundPath);
        Timer2->start(kSoundRepeatMs);
    }
}

void Watcher::showAlarm()
{
    const QString lastAlarm = lastAlarmText(QDateTime::currentDateTime());
    showLevel(AlarmLevel::Alarm);
    emit alarmShown(lastAlarm);
}

void Watcher::lockCommands(bool locked)
{
    emit commandsLocked(locked);
}

void Watcher::startClip()
{
    sStartAlarmClip();
}

void Watcher::sendMail()
{
    sCheckMailReady();
    const WatchTeller teller = [this](const WatchEvent& event) { tell(event); };
    sKeepAlarmSnapshot(alarm_.frame, teller);
    if (!Settings.COM.MailReady) {
        mailSent();
        return;
    }
    // What the mail tells comes back to this thread, in order, through the event loop.
    const auto onThisThread = [this](std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    };
    mailEnded_ = false;
    mailThread_ = std::thread([this, onThisThread, frame = alarm_.frame] {
        sStartMailSend(
            frame, [onThisThread, this](const QString& text) { onThisThread([this, text] { emit alarmStepShown(text); }); },
            [onThisThread, this](const WatchEvent& event) { onThisThread([this, event] { tell(event); }); },
            [this] { return closing_.load(); });
        mailEnded_ = true;
        onThisThread([this] { mailSent(); });
    });
}

void Watcher::recordClip()
{
    recordedClip_ = sRecordAlarmClip([this](const QString& text) { emit alarmStepShown(text); },
                                     [this](const WatchEvent& event) { tell(event); });
}

void Watcher::uploadClip(bool inBackground)
{
    if (!recordedClip_)
        return;
    const ClipUpload upload = *std::exchange(recordedClip_, std::nullopt);
    // Once shutting down, the uploads keep it for the next start.
    if (inBackground || closing_) {
        uploads_->add(upload);
        return;
    }
    // Uploads queued before the option was turned off go first: one at a time, in order.
    uploads_->waitUntilIdle();
    sUploadAlarmClip(upload, [this](const QString& text) { emit alarmStepShown(text); },
                     [this](const WatchEvent& event) { tell(event); });
}

void Watcher::showAlarmOver()
{
    emit statusShown(diskNote_.alarmOverText());
}

void Watcher::drawTimeLine(int32_t count, AlarmLevel level)
{
    const int16_t column = timeLine_.lastColumn();
    timeLine_.sDrawTimeLine(count, Settings.COM.CKSUM, level, QDateTime::currentDateTime());
    emit timeLineDrawn();
    // Kept when a slot is done and at every alarm: a crash loses at most the slot under way.
    if (level == AlarmLevel::Alarm || timeLine_.lastColumn() != column)
        keepTimeLine();
}

void Watcher::keepTimeLine()
{
    // Without room the file stays as it was and the next save tries again.
    saveTimeLine(timeLine_, timeLinePath(), QDateTime::currentDateTime());
}

void Watcher::restoreTimeLine()
{
    timeLine_.restore(loadTimeLineSlots(timeLinePath()), QDateTime::currentDateTime());
    emit timeLineRestored();
}
