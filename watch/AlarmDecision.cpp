// The alarm decision at the end of a detector tick: status texts, lamps,
// sound, and for an alarm the mail and the recording.
#include "watch/Watcher.h"

#include "detect/TimeLineFile.h"
#include "mail/AlarmMail.h"
#include "mail/MailAccount.h"
#include "settings/Settings.h"
#include "sound/SoundPlayer.h"
#include "upload/AlarmRecording.h"

#include <QDateTime>
#include <QTimer>

#include <utility>

namespace {

constexpr int kSoundRepeatMs = 100;

}  // namespace

void Watcher::sAlarmDecision(int32_t count)
{
    const LightLevel tick = classifyTick(count, Settings.COM.CKSUM, Settings.EXT.LIGHTCUT,
                                         [this] { return detector_.lightChange(); });
    if (tick.level == AlarmLevel::Alarm) {
        runAlarmSequence(*this, count, Settings.COM.CKSUM, {.backgroundUpload = Settings.EXT.BGUPLOAD});
    } else {
        sSoundClose(Settings.COM.SoundPath);
        Timer2->stop();
        showLevel(tick.level);
        if (tick.lightOnly)
            emit statusShown(lightChangeStatusText());
    }
    drawTimeLine(count, tick.level);
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
    sKeepAlarmSnapshot(detector_.latestFrame(), teller);
    if (Settings.COM.MailReady)
        sStartMailSend(
            detector_.latestFrame(), [this](const QString& text) { emit alarmStepShown(text); }, teller,
            [this] { return closing_; });
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
