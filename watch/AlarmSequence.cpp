#include "watch/AlarmSequence.h"

void runAlarmSequence(AlarmActions& actions, int32_t count, int16_t alarmCount, AlarmOrder order)
{
    actions.skipNextCompare();
    actions.tell({.kind = WatchEvent::Kind::Alarm, .count = count, .alarmCount = alarmCount});
    actions.startSound();
    actions.showAlarm();
    actions.lockCommands(true);
    actions.startClip();
    actions.sendMail();
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
