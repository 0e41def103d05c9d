#include "watch/AlarmSequence.h"

void startAlarmSequence(AlarmActions& actions, int32_t count, int16_t alarmCount)
{
    actions.skipNextCompare();
    actions.tell({.kind = WatchEvent::Kind::Alarm, .count = count, .alarmCount = alarmCount,
                  .alarmTime = QDateTime::currentDateTime()});
    actions.startSound();
    actions.showAlarm();
    actions.lockCommands(true);
    actions.startClip();
    actions.sendMail();
}

void finishAlarmSequence(AlarmActions& actions, AlarmOrder order)
{
    // A close served while mailing ends the alarm: nothing more is sent.
    if (actions.closing())
        return;
    actions.recordClip();
    actions.uploadClip(order.backgroundUpload);
    if (actions.closing())
        return;
    actions.lockCommands(false);
    actions.showAlarmOver();
    actions.tell({.kind = WatchEvent::Kind::AlarmOver});
}
