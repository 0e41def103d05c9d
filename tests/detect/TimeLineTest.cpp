#include "detect/TimeLine.h"
#include "detect/TimeLineFile.h"
#include "tests/support/TempAppFolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <array>
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

// The column after drawing bars {top, level} in order over black, each from the
// base line up to, not including, its top: Calm blue, Doubt yellow, Suspect magenta, Alarm red.
std::vector<QRgb> expectedColumn(std::initializer_list<std::pair<int, AlarmLevel>> bars)
{
    const QRgb levelColours[] = {qRgb(0, 0, 255), qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(255, 0, 0)};
    std::vector<QRgb> colours(size_t(TimeLine::kBaseY - TimeLine::kTopY + 1), qRgb(0, 0, 0));
    for (const auto& [top, level] : bars) {
        for (int y = TimeLine::kBaseY; y > top; --y)
            colours[size_t(TimeLine::kBaseY - y)] = levelColours[int(level)];
    }
    return colours;
}

const QDate kYesterday(2024, 4, 30);
const QDate kToday(2024, 5, 1);

// One column per 12 minutes from x = 20; a bar's top scales the count to the
// alarm count, and a zero alarm count gives a full bar.
TEST(TimeLine, SlotsOfTheDayAndBarTops)
{
    const std::pair<QTime, int> columns[] = {{QTime(0, 0), 20},   {QTime(0, 11, 59), 20}, {QTime(0, 12), 21},
                                             {QTime(12, 0), 80},  {QTime(23, 48), 139},   {QTime(23, 59, 59), 139}};
    for (const auto& [time, x] : columns)
        EXPECT_EQ(TimeLine::slotX(time), x) << time.toString().toStdString();
    const std::array<int32_t, 3> bars[] = {{100, 100, 5}, {50, 100, 45}, {0, 100, 90}, {95, 100, 5}, {200, 100, 5},
                                           {93, 100, 6},  {1, 4, 68},    {25500, 1, 5}, {0, 0, 5},   {7, 0, 5}};
    for (const auto& [count, alarmCount, top] : bars)
        EXPECT_EQ(TimeLine::barTop(count, int16_t(alarmCount)), top) << count << " of " << alarmCount;
}

// Ticks in one slot draw over each other and the marker follows the last; what
// is kept of a chart and drawn again into a new one gives the same columns for
// the last 24 hours and nothing older; entering a slot erases its old bar.
TEST(TimeLine, TicksDrawOverEachOtherAndKeptSlotsDrawTheSameChartAgainWithoutTheOldest)
{
    using enum AlarmLevel;
    TimeLine running;
    running.sDrawTimeLine(40, 100, Calm, QDateTime(kYesterday, QTime(9, 5)));    // 25 hours before: dropped
    running.sDrawTimeLine(95, 100, Suspect, QDateTime(kYesterday, QTime(11, 0)));  // 23 hours before
    running.sDrawTimeLine(500, 100, Alarm, QDateTime(kToday, QTime(8, 1)));
    running.sDrawTimeLine(85, 100, Doubt, QDateTime(kToday, QTime(8, 2)));
    running.sDrawTimeLine(10, 100, Calm, QDateTime(kToday, QTime(8, 3)));
    running.sDrawTimeLine(88, 100, Doubt, QDateTime(kToday, QTime(8, 4)));  // covers the two before
    running.sDrawTimeLine(30, 100, Calm, QDateTime(kToday, QTime(10, 1)));
    running.sDrawTimeLine(0, 100, Calm, QDateTime(kToday, QTime(10, 2)));  // a bar of no height is kept too
    const QDateTime now = QDateTime(kToday, QTime(10, 5));
    const std::vector<TimeLineSlot> kept = running.recentSlots(now);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[1], (TimeLineSlot{QDateTime(kToday, QTime(8, 0)), {{5, Alarm}, {11, Doubt}}}));
    const int x10 = TimeLine::slotX(QTime(10, 1));
    EXPECT_EQ(column(running, TimeLine::slotX(QTime(8, 1))), expectedColumn({{5, Alarm}, {11, Doubt}}))
        << "ticks in one slot draw over each other";
    EXPECT_EQ(running.lastColumn(), x10);
    EXPECT_EQ(running.markerLeft(), x10 - 4);
    EXPECT_EQ(running.clockText(), QStringLiteral("10:02:00"));

    TempAppFolder home;
    const QString path = home.filePath(QStringLiteral("timeline.json"));
    ASSERT_TRUE(saveTimeLine(running, path, now));
    std::vector<TimeLineSlot> loaded = loadTimeLineSlots(path);
    ASSERT_EQ(loaded, kept);
    TimeLine restarted;  // the newest slot, not the last one read, is the marker's
    restarted.restore({loaded.rbegin(), loaded.rend()}, now);
    const int x9 = TimeLine::slotX(QTime(9, 5)), x11 = TimeLine::slotX(QTime(11, 0)), x8 = TimeLine::slotX(QTime(8, 1));
    EXPECT_EQ(column(running, x9), expectedColumn({{54, Calm}}));
    EXPECT_EQ(column(running, x11), expectedColumn({{5, Suspect}}));
    EXPECT_EQ(column(restarted, x9), expectedColumn({}));
    for (const int x : {x11, x8, x10})
        EXPECT_EQ(column(restarted, x), column(running, x)) << x;
    EXPECT_EQ(restarted.lastColumn(), x10);
    TimeLine dayLater;  // a slot a whole day old is gone
    dayLater.restore(loadTimeLineSlots(path), QDateTime(kToday, QTime(11, 0)));
    EXPECT_EQ(column(dayLater, x11), expectedColumn({}));
    EXPECT_EQ(column(dayLater, x8), column(running, x8));
    TimeLine clockBack;  // slots yet to come are not drawn
    clockBack.restore(loadTimeLineSlots(path), QDateTime(kToday, QTime(7, 0)));
    EXPECT_EQ(column(clockBack, x8), expectedColumn({}));

    // A tick in the slot under way adds to it; one in a new slot erases only that slot.
    restarted.sDrawTimeLine(20, 100, Calm, now);
    EXPECT_EQ(column(restarted, x10), expectedColumn({{63, Calm}}));
    restarted.sDrawTimeLine(0, 100, Calm, QDateTime(kToday, QTime(11, 0)));
    EXPECT_EQ(column(restarted, x11), expectedColumn({}));
    EXPECT_EQ(column(restarted, x8), column(running, x8));
}

TEST(TimeLine, DamagedFilesAndSlotsAreLeftOut)
{
    TempAppFolder home;
    const QString path = home.filePath(QStringLiteral("timeline.json"));
    const QByteArray contents[] = {
        "", "not json", "{\"slots\":7}", "[1,2]", QByteArray(5000, '\0'),
        "{\"slots\":[{\"start\":\"yesterday\",\"bars\":[[5,\"Alarm\"]]}]}",
        "{\"slots\":[{\"start\":\"2024-05-01T08:00:00.000+00:00\",\"bars\":[[5,\"Panic\"]]}]}",
        "{\"slots\":[{\"start\":\"2024-05-01T08:00:00.000+00:00\",\"bars\":[[91,\"Alarm\"]]}]}",
        "{\"slots\":[{\"start\":\"2024-05-01T08:00:00.000+00:00\",\"bars\":[[4,\"Alarm\"]]}]}",
    };
    for (const QByteArray& content : contents) {
        writeFileBytes(path, content);
        EXPECT_TRUE(loadTimeLineSlots(path).empty()) << content.left(80).toStdString();
    }
    EXPECT_TRUE(loadTimeLineSlots(home.filePath(QStringLiteral("missing.json"))).empty());
    // A damaged slot is left out, not the good one beside it. A whole chart
    // takes some kilobytes; a file over 4 MB is not ours.
    const QByteArray slot = "{\"slots\":[{\"start\":\"2024-05-01T08:00:00.000+00:00\",\"bars\":[[5,\"Suspect\"]]}, {\"start\":\"x\"}]}";
    writeFileBytes(path, slot + QByteArray((4 << 20) - slot.size(), ' '));
    const std::vector<TimeLineSlot> loaded = loadTimeLineSlots(path);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].bars, (std::vector<TimeLineBar>{{5, AlarmLevel::Suspect}}));
    writeFileBytes(path, slot + QByteArray(4 << 20, ' '));
    EXPECT_TRUE(loadTimeLineSlots(path).empty());
}

}  // namespace
