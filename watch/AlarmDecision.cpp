// The alarm decision at the end of a detector tick: status texts, lamps,
// sound, and for an alarm the mail, the recording and the upload. Each runs
// apart from the event loop (the mail on a thread of its own, the clip on the
// recorder's, the upload in its client) and reports its end through it; until
// the alarm is over the detector does not tick, unless KEEPWATCH keeps it
// going, and then an alarm that comes meanwhile waits its turn.
#include "watch/Watcher.h"

#include "detect/TimeLineFile.h"
#include "mail/AlarmMail.h"
#include "mail/MailAccount.h"
#include "settings/Settings.h"
#include "sound/SoundPlayer.h"
#include "upload/AlarmRecording.h"

#include <QCoreApplication>
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
    if (!sequence_.running()) {
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
    showProgress();
}

void Watcher::startAlarm(int32_t count, const QImage& frame)
{
    alarm_ = {count, frame};
    sequence_.start(count, Settings.COM.CKSUM,
                    {.backgroundUpload = Settings.EXT.BGUPLOAD, .keepWatching = Settings.EXT.KEEPWATCH});
    showProgress();
}

void Watcher::mailSent()
{
    if (mailThread_.joinable())
        mailThread_.join();
    advance(AlarmSequence::Step::Mail);
}

void Watcher::advance(AlarmSequence::Step step)
{
    // Any failure inside ends the alarm; watching goes on.
    try {
        sequence_.stepEnded(step);
    } catch (const std::exception&) {
        recoverFromFailure();
    }
    showProgress();
}

void Watcher::alarmEnded()
{
    drawTimeLine(alarm_.count, AlarmLevel::Alarm);
    nextAlarm();
}

void Watcher::nextAlarm()
{
    if (!alarmsWaiting_.empty()) {
        const Alarm next = alarmsWaiting_.front();
        alarmsWaiting_.pop_front();
        startAlarm(next.count, next.frame);
        return;
    }
    // The detector waited by not ticking; the tick the alarm came in re-arms it itself.
    if (!inTick_ && !suspended_ && !Timer1->isActive())
        startDetector();
}

void Watcher::showProgress()
{
    QString text;
    const bool shown = sequence_.running() && sequence_.order().keepWatching;
    if (shown) {
        using Step = AlarmSequence::Step;
        const Step step = sequence_.step();
        text = step == Step::Mail ? tr("警報: ﾒｰﾙ送信中･･･")
             : step == Step::Clip ? tr("警報: 動画録画中･･･")
                                  : tr("警報: FTPで送信中･･･");
        if (!alarmsWaiting_.empty())
            text = tr("%1 (待ち %2)").arg(text).arg(alarmsWaiting_.size());
    }
    const bool mailing = shown && sequence_.step() == AlarmSequence::Step::Mail;
    if (text == progressShown_ && mailing == mailingShown_)
        return;
    progressShown_ = text;
    mailingShown_ = mailing;
    emit alarmProgress(text, mailing);
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
    clip_.sStartAlarmClip();
}

void Watcher::sendMail()
{
    const WatchTeller teller = [this](const WatchEvent& event) { tell(event); };
    sKeepAlarmSnapshot(alarm_.frame, teller);
    if (!MailReady()) {
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
    recordedClip_.reset();
    const bool recording = clip_.sRecordAlarmClip(
        [this](const QString& text) { emit alarmStepShown(text); },
        [this](const WatchEvent& clip, const std::optional<ClipUpload>& upload) {
            tell(clip);
            recordedClip_ = upload;
            advance(AlarmSequence::Step::Clip);
        });
    if (!recording)
        advance(AlarmSequence::Step::Clip);
}

void Watcher::uploadClip(bool inBackground)
{
    if (!recordedClip_)
        return advance(AlarmSequence::Step::Upload);
    const ClipUpload upload = *std::exchange(recordedClip_, std::nullopt);
    if (inBackground) {
        uploads_->add(upload);
        return advance(AlarmSequence::Step::Upload);
    }
    emit alarmStepShown(QCoreApplication::translate("AlarmRecording", "Houndly: FTPで送信中･･･"));
    // Uploads queued before the option was turned off go first: one at a time,
    // in order; the alarm goes on when this one has ended.
    foregroundUpload_ = upload.clipPath;
    uploads_->add(upload);
}

void Watcher::uploadEnded(const ClipUpload& upload)
{
    if (foregroundUpload_.isEmpty() || upload.clipPath != foregroundUpload_)
        return;
    foregroundUpload_.clear();
    advance(AlarmSequence::Step::Upload);
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
