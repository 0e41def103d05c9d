#pragma once

#include <QDateTime>
#include <QRgb>
#include <QString>

#include <cstdint>

// How close a detection count came to the alarm count.
enum class AlarmLevel { Calm, Doubt, Suspect, Alarm };

// Alarm above the alarm count, Suspect above 90 % of it, Doubt above 80 %,
// otherwise Calm; the percentages are taken in double precision.
AlarmLevel classifyAlarm(int32_t count, int16_t alarmCount);

// Status bar panel 1 for the level; for Alarm, the text shown while its actions run.
QString alarmStatusText(AlarmLevel level);
// Status bar panel 1 once the alarm actions are over.
QString alarmOverStatusText();
// Status bar panel 2 at an alarm: "最終警報: YYYY/MM/DD hh:mm".
QString lastAlarmText(const QDateTime& when);

// The signal lamps: 0 blue, 1 yellow, 2 red.
int signalLampIndex(AlarmLevel level);
struct SignalLampColours {
    QRgb bright;  // shows while lit
    QRgb border;  // also the colour of the lamp's line
    QRgb fill;    // covers the lamp while dark
};
SignalLampColours signalLampColours(int lampIndex);

// The colour of the level's bar in the time line.
QRgb timeLineColour(AlarmLevel level);
