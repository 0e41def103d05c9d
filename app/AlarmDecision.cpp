// The alarm decision at the end of a detector tick: status texts, lamps,
// sound, and for an alarm the mail and the recording.
#include "app/ScopePanel.h"
#include "app/frmSw_Mail.h"
#include "app/frm_Camera.h"
#include "detect/SkipCompare.h"
#include "mail/AlarmMail.h"
#include "mail/MailAccount.h"
#include "settings/Settings.h"
#include "sound/SoundPlayer.h"
#include "upload/AlarmRecording.h"

#include <QDateTime>
#include <QTimer>

namespace {

constexpr int kSoundRepeatMs = 100;

}  // namespace

void frm_Camera::sAlarmDecision(int32_t count)
{
    const AlarmLevel level = classifyAlarm(count, Settings.COM.CKSUM);
    if (level == AlarmLevel::Alarm) {
        raiseAlarm();
    } else {
        sSoundClose(Settings.COM.SoundPath);
        Timer2->stop();
        showLevel(level);
    }
    drawTimeLine(count, level);
}

void frm_Camera::showLevel(AlarmLevel level)
{
    mainWindow_->setStatusText(1, alarmStatusText(level));
    mainWindow_->picSideScope->lightLamp(signalLampIndex(level));
}

void frm_Camera::raiseAlarm()
{
    SkipCompare = true;
    if (!Settings.COM.SoundPath.isEmpty()) {
        sSoundPlay(Settings.COM.SoundPath);
        Timer2->start(kSoundRepeatMs);
    }
    mainWindow_->setStatusText(2, lastAlarmText(QDateTime::currentDateTime()));
    showLevel(AlarmLevel::Alarm);
    // The lamps must show before mail and recording hold the window.
    mainWindow_->picSideScope->repaint();
    mainWindow_->StatusBarPanel(1)->repaint();

    mainWindow_->sDispEnabled(false);
    const StatusText showStatus = [this](const QString& text) {
        mainWindow_->setStatusText(1, text);
        mainWindow_->StatusBarPanel(1)->repaint();
    };
    sCheckMailReady();
    if (Settings.COM.MailReady)
        sStartMailSend(detector_.latestFrame(), showStatus);
    sStartAVI(showStatus);
    if (mainWindow_->isClosing())
        return;
    mainWindow_->sDispEnabled(true);
    mainWindow_->setStatusText(1, alarmOverStatusText());
}

void frm_Camera::drawTimeLine(int32_t count, AlarmLevel level)
{
    timeLine_.sDrawTimeLine(count, Settings.COM.CKSUM, level, QDateTime::currentDateTime());
    mainWindow_->picSideScope->showTimeLine(timeLine_.image(), timeLine_.markerLeft(), timeLine_.clockText());
}
