#pragma once

#include "detect/AlarmLevel.h"

#include <QImage>
#include <QString>
#include <QTime>

#include <cstdint>

// The 24-hour chart of the main window: one bar per 12-minute slot, its height
// how close the count came to the alarm count, its colour the alarm level.
class TimeLine {
public:
    // The chart box is 2175 x 1785 twips at 15 twips a pixel.
    static constexpr int kWidth = 145;
    static constexpr int kHeight = 119;
    static constexpr int kBaseY = 90;  // count 0
    static constexpr int kTopY = 5;    // highest bar top

    TimeLine();

    // One tick's bar at the time `now`; erases the slot first when the chart
    // has just moved into it.
    void sDrawTimeLine(int32_t count, int16_t alarmCount, AlarmLevel level, QTime now);

    const QImage& image() const { return picTimeLine; }
    int16_t lastColumn() const { return LastColumn; }
    // Left edge of the "▲" marker under the current slot.
    int markerLeft() const { return markerLeft_; }
    // The time of the last tick, "hh:nn:ss".
    const QString& clockText() const { return clockText_; }

    // x of the slot holding a time of day: 20 + minutes since midnight div 12.
    static int slotX(QTime time);
    // y of a bar's top, kTopY (full) .. kBaseY (none).
    static int barTop(int32_t count, int16_t alarmCount);

private:
    // Paints the column x from the base line up to, not including, row top.
    void drawBar(int x, int top, QRgb colour);

    QImage picTimeLine;
    int16_t LastColumn = 0;
    int markerLeft_ = slotX(QTime(0, 0)) - 4;
    QString clockText_ = QStringLiteral("00:00:00");
};
