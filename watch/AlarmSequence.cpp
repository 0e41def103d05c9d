#include "watch/AlarmSequence.h"

void AlarmSequence::start(int32_t count, int16_t alarmCount, AlarmOrder order)
{
    order_ = order;
    step_ = Step::Mail;  // a failure before the mail still ends a running alarm
    actions_.skipNextCompare();
    actions_.tell({.kind = WatchEvent::Kind::Alarm, .count = count, .alarmCount = alarmCount,
                   .alarmTime = QDateTime::currentDateTime()});
    actions_.startSound();
    actions_.showAlarm();
    if (!order_.keepWatching)
        actions_.lockCommands(true);
    actions_.startClip();
    begin(Step::Mail);
}

void AlarmSequence::begin(Step step)
{
    // Set first: a step may end before its action returns.
    step_ = step;
    if (step == Step::Mail)
        actions_.sendMail();
    else if (step == Step::Clip)
        actions_.recordClip();
    else
        actions_.uploadClip(order_.backgroundUpload);
}

void AlarmSequence::stepEnded(Step step)
{
    if (step != step_ || step == Step::None)
        return;
    if (step == Step::Mail)
        return begin(Step::Clip);
    if (step == Step::Clip)
        return begin(Step::Upload);
    step_ = Step::None;
    if (!order_.keepWatching)
        actions_.lockCommands(false);
    actions_.showAlarmOver();
    actions_.tell({.kind = WatchEvent::Kind::AlarmOver});
    actions_.alarmEnded();
}
