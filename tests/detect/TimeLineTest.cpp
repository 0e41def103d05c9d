#include "detect/TimeLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The colours of column x from the base line up to the highest bar top.
std::vector<QRgb> column(const TimeLine& timeLine, int x)
{
    std::vector<QRgb> colours;
    for (int y = TimeLine::kBaseY; y >= TimeLine::kTopY; --y)
        colours.push_back(timeLine.image().pixel(x, y));
    return colours;
}

// The column after drawing bars {top, colour} in order over black, each from the
// base line up to, not including, its top.
std::vector<QRgb> expectedColumn(std::initializer_list<std::pair<int, AlarmLevel>> bars)
{
    std::vector<QRgb> colours(size_t(TimeLine::kBaseY - TimeLine::kTopY + 1), qRgb(0, 0, 0));
    for (const auto& [top, level] : bars) {
        for (int y = TimeLine::kBaseY; y > top; --y)
            colours[size_t(TimeLine::kBaseY - y)] = timeLineColour(level);
    }
    return colours;
}

TEST(TimeLine, SlotOfTimeOfDay)
{
    const std::pair<QTime, int> rows[] = {{QTime(0, 0), 20},   {QTime(0, 11, 59), 20}, {QTime(0, 12), 21},
                                          {QTime(12, 0), 80},  {QTime(23, 48), 139},   {QTime(23, 59, 59), 139}};
    for (const auto& [time, x] : rows)
        EXPECT_EQ(TimeLine::slotX(time), x) << time.toString().toStdString();
}

TEST(TimeLine, BarTopScalesCountToAlarmCountAndZeroAlarmCountIsFull)
{
    const struct {
        int32_t count;
        int16_t alarmCount;
        int top;
    } rows[] = {{100, 100, 5}, {50, 100, 45}, {0, 100, 90}, {95, 100, 5}, {200, 100, 5},
                {93, 100, 6},  {1, 4, 68},    {25500, 1, 5}, {0, 0, 5},   {7, 0, 5}};
    for (const auto& row : rows)
        EXPECT_EQ(TimeLine::barTop(row.count, row.alarmCount), row.top) << row.count << " of " << row.alarmCount;
}

TEST(TimeLine, TicksInASlotDrawOverEachOtherAndEnteringASlotErasesItsOldBar)
{
    using enum AlarmLevel;
    TimeLine timeLine;
    // Yesterday's 00:12 bar, then today's first ticks in the 00:00 slot.
    timeLine.sDrawTimeLine(500, 100, Alarm, QTime(0, 12));
    timeLine.sDrawTimeLine(92, 100, Suspect, QTime(0, 0, 1));
    timeLine.sDrawTimeLine(10, 100, Calm, QTime(0, 5));
    EXPECT_EQ(column(timeLine, 20), expectedColumn({{7, Suspect}, {81, Calm}}));
    EXPECT_EQ(column(timeLine, 21), expectedColumn({{5, Alarm}}));
    EXPECT_EQ(timeLine.lastColumn(), 20);
    EXPECT_EQ(timeLine.markerLeft(), 16);
    EXPECT_EQ(timeLine.clockText(), QStringLiteral("00:05:00"));

    timeLine.sDrawTimeLine(10, 100, Calm, QTime(0, 12, 30));
    EXPECT_EQ(column(timeLine, 21), expectedColumn({{81, Calm}}));
    EXPECT_EQ(column(timeLine, 20), expectedColumn({{7, Suspect}, {81, Calm}}));
    EXPECT_EQ(timeLine.lastColumn(), 21);
}

}  // namespace
