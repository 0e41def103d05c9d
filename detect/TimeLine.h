#pragma once

#include "detect/AlarmLevel.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>
#include <vector>

// One bar drawn into a slot: from the base line up to, not including, `top`.
struct TimeLineBar {
    int top = 0;
    AlarmLevel level = AlarmLevel::Calm;
    bool operator==(const TimeLineBar&) const = default;
};

// What a slot shows: the bars still visible in it, in the order drawn, each
// taller than the next, so drawing them again gives the same column.
struct TimeLineSlot {
    QDateTime start;  // the beginning of its 12 minutes
    std::vector<TimeLineBar> bars;
    bool operator==(const TimeLineSlot&) const = default;
};

// The 24-hour chart of the main window: one bar per 12-minute slot, its height
// how close the count came to the alarm count, its colour the alarm level.
class TimeLine {
public:
    // The chart box is 2175 x 1785 twips at 15 twips a pixel.
    static constexpr int kWidth = 145;
    static constexpr int kHeight = 119;
    static constexpr int kBaseY = 90;  // count 0
    static constexpr int kTopY = 5;    // highest bar top
    static constexpr int kFirstX = 20;
    static constexpr int kSlots = 120;  // 24 hours of 12 minutes

    TimeLine();

    // One tick's bar at the time `now`; erases the slot first when the chart
    // has just moved into it.
    void sDrawTimeLine(int32_t count, int16_t alarmCount, AlarmLevel level, const QDateTime& now);

    // The slots that began within the 24 hours before `now`, oldest first.
    std::vector<TimeLineSlot> recentSlots(const QDateTime& now) const;
    // Draws slots kept from an earlier run into an empty chart: those that
    // began within the 24 hours before `now`, each in its own column. The
    // newest becomes the slot drawn last, so ticks still in it add to it.
    void restore(const std::vector<TimeLineSlot>& kept, const QDateTime& now);

    const QImage& image() const { return picTimeLine; }
    int16_t lastColumn() const { return LastColumn; }
    // Left edge of the "▲" marker under the current slot.
    int markerLeft() const { return markerLeft_; }
    // The time of the last tick, "hh:nn:ss".
    const QString& clockText() const { return clockText_; }

    // x of the slot holding a time of day: 20 + minutes since midnight div 12.
    static int slotX(QTime time);
    // The beginning of the slot holding a moment.
    static QDateTime slotStart(const QDateTime& moment);
    // y of a bar's top, kTopY (full) .. kBaseY (none).
    static int barTop(int32_t count, int16_t alarmCount);

private:
    // Paints the column x from the base line up to, not including, row top.
    void drawBar(int x, int top, QRgb colour);
    // Adds a bar to a slot's record, dropping the bars it covers.
    static void addBar(TimeLineSlot& slot, TimeLineBar bar);
    static bool isRecent(const QDateTime& start, const QDateTime& now);

    QImage picTimeLine;
    int16_t LastColumn = 0;
    int markerLeft_ = slotX(QTime(0, 0)) - 4;
    QString clockText_ = QStringLiteral("00:00:00");
    std::array<TimeLineSlot, kSlots> slots_;  // by x - kFirstX
};
