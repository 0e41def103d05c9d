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

struct Bar {
    int top;
    QRgb colour;
};

// The column after drawing `bars` in order over black, each from the base line
// up to, not including, its top.
std::vector<QRgb> expectedColumn(std::initializer_list<Bar> bars)
{
    std::vector<QRgb> colours(size_t(TimeLine::kBaseY - TimeLine::kTopY + 1), qRgb(0, 0, 0));
    for (const Bar& drawn : bars) {
        for (int y = TimeLine::kBaseY; y > drawn.top; --y)
            colours[size_t(TimeLine::kBaseY - y)] = drawn.colour;
    }
    return colours;
}

TEST(TimeLine, SlotOfTimeOfDay)
{
    const std::pair<QTime, int> rows[] = {
        {QTime(0, 0), 20},  {QTime(0, 11, 59), 20}, {QTime(0, 12), 21}, {QTime(6, 0), 50},
        {QTime(12, 0), 80}, {QTime(18, 0), 110},    {QTime(23, 48), 139}, {QTime(23, 59, 59), 139}};
    for (const auto& [time, x] : rows)
        EXPECT_EQ(TimeLine::slotX(time), x) << time.toString().toStdString();
}

TEST(TimeLine, BarTopScalesCountToAlarmCount)
{
    struct Row {
        int32_t count;
        int16_t alarmCount;
        int top;
    };
    const Row rows[] = {
        {100, 100, 5},  {50, 100, 45},   {0, 100, 90},      {95, 100, 5},  {200, 100, 5},
        {93, 100, 6},   {1, 4, 68},      {25500, 1, 5},     {0, 0, 5},     {7, 0, 5},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TimeLine::barTop(row.count, row.alarmCount), row.top)
            << "count " << row.count << " alarm count " << row.alarmCount;
    }
}

TEST(TimeLine, TicksInOneSlotDrawOverEachOther)
{
    TimeLine timeLine;
    const QRgb magenta = timeLineColour(AlarmLevel::Suspect);
    const QRgb blue = timeLineColour(AlarmLevel::Calm);
    timeLine.sDrawTimeLine(92, 100, AlarmLevel::Suspect, QTime(10, 0, 1));
    timeLine.sDrawTimeLine(10, 100, AlarmLevel::Calm, QTime(10, 5, 0));
    const int x = TimeLine::slotX(QTime(10, 0));
    EXPECT_EQ(column(timeLine, x), expectedColumn({{7, magenta}, {81, blue}}));
    EXPECT_EQ(timeLine.lastColumn(), x);
    EXPECT_EQ(timeLine.markerLeft(), x - 4);
    EXPECT_EQ(timeLine.clockText(), QStringLiteral("10:05:00"));
}

TEST(TimeLine, EntersSlotByErasingItsOldBar)
{
    TimeLine timeLine;
    const QRgb red = timeLineColour(AlarmLevel::Alarm);
    const QRgb blue = timeLineColour(AlarmLevel::Calm);
    // Yesterday's 00:12 bar, then today's first ticks.
    timeLine.sDrawTimeLine(500, 100, AlarmLevel::Alarm, QTime(0, 12));
    timeLine.sDrawTimeLine(50, 100, AlarmLevel::Calm, QTime(0, 0));
    EXPECT_EQ(column(timeLine, 20), expectedColumn({{45, blue}}));
    EXPECT_EQ(column(timeLine, 21), expectedColumn({{5, red}}));

    timeLine.sDrawTimeLine(10, 100, AlarmLevel::Calm, QTime(0, 12, 30));
    EXPECT_EQ(column(timeLine, 21), expectedColumn({{81, blue}}));
    EXPECT_EQ(column(timeLine, 20), expectedColumn({{45, blue}}));
    EXPECT_EQ(timeLine.lastColumn(), 21);
}

TEST(TimeLine, ZeroAlarmCountDrawsFullBar)
{
    TimeLine timeLine;
    timeLine.sDrawTimeLine(0, 0, AlarmLevel::Calm, QTime(23, 59, 59));
    EXPECT_EQ(column(timeLine, 139), expectedColumn({{5, timeLineColour(AlarmLevel::Calm)}}));
    EXPECT_EQ(timeLine.markerLeft(), 135);
    EXPECT_EQ(timeLine.clockText(), QStringLiteral("23:59:59"));
}

}  // namespace
