// The alarm decision at the end of a detector tick: status texts, lamps,
// sound, and for an alarm the mail and the recording.
#include "app/PictureBox.h"
#include "app/ScopePanel.h"
#include "app/frmSw_Mail.h"
#include "app/frm_Camera.h"
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

void frm_Camera::sAlarmDecision(int32_t count)
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
            mainWindow_->setStatusText(1, lightChangeStatusText());
    }
    drawTimeLine(count, tick.level);
}

void frm_Camera::showLevel(AlarmLevel level)
{
    mainWindow_->setStatusText(1, alarmStatusText(level));
    mainWindow_->picSideScope->lightLamp(signalLampIndex(level));
}

void frm_Camera::startSound()
{
    if (!Settings.COM.SoundPath.isEmpty()) {
        sSoundPlay(Settings.COM.SoundPath);
        Timer2->start(kSoundRepeatMs);
    }
}

void frm_Camera::showAlarm()
{
    mainWindow_->setStatusText(2, lastAlarmText(QDateTime::currentDateTime()));
    showLevel(AlarmLevel::Alarm);
    mainWindow_->picSideScope->repaint();
    mainWindow_->StatusBarPanel(1)->repaint();
}

void frm_Camera::lockCommands(bool locked)
{
    mainWindow_->sDispEnabled(!locked);
}

void frm_Camera::showAlarmStep(const QString& text)
{
    mainWindow_->setStatusText(1, text);
    mainWindow_->StatusBarPanel(1)->repaint();
}

void frm_Camera::startClip()
{
    sStartAlarmClip();
}

void frm_Camera::sendMail()
{
    sCheckMailReady();
    if (Settings.COM.MailReady)
        sStartMailSend(detector_.latestFrame(), [this](const QString& text) { showAlarmStep(text); },
                       [this] { return closing(); });
}

void frm_Camera::recordClip()
{
    recordedClip_ = sRecordAlarmClip([this](const QString& text) { showAlarmStep(text); });
}

void frm_Camera::uploadClip(bool inBackground)
{
    if (!recordedClip_)
        return;
    const ClipUpload upload = *std::exchange(recordedClip_, std::nullopt);
    UploadQueue& uploads = mainWindow_->uploads();
    if (inBackground) {
        // A closing window has already ended its uploads.
        if (!mainWindow_->isClosing())
            uploads.add(upload);
        return;
    }
    // Uploads queued before the option was turned off go first: one at a time, in order.
    uploads.waitUntilIdle();
    sUploadAlarmClip(upload, [this](const QString& text) { showAlarmStep(text); });
}

bool frm_Camera::closing() const
{
    return mainWindow_->isClosing();
}

void frm_Camera::showAlarmOver()
{
    mainWindow_->setStatusText(1, diskNote_.alarmOverText());
}

void frm_Camera::drawTimeLine(int32_t count, AlarmLevel level)
{
    const int16_t column = timeLine_.lastColumn();
    timeLine_.sDrawTimeLine(count, Settings.COM.CKSUM, level, QDateTime::currentDateTime());
    mainWindow_->picSideScope->showTimeLine(timeLine_.image(), timeLine_.markerLeft(), timeLine_.clockText());
    // Kept when a slot is done and at every alarm: a crash loses at most the slot under way.
    if (level == AlarmLevel::Alarm || timeLine_.lastColumn() != column)
        keepTimeLine();
}

void frm_Camera::keepTimeLine()
{
    // Without room the file stays as it was and the next save tries again.
    saveTimeLine(timeLine_, timeLinePath(), QDateTime::currentDateTime());
}

void frm_Camera::restoreTimeLine()
{
    timeLine_.restore(loadTimeLineSlots(timeLinePath()), QDateTime::currentDateTime());
    mainWindow_->picSideScope->picTimeLine->setImage(timeLine_.image());
}
