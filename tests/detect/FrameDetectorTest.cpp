#include "detect/AlarmLevel.h"
#include "detect/FrameDetector.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <tuple>
#include <vector>

namespace {

// The watcher's flag, as the detector sees it.
bool SkipCompare = false;

// A frame whose every byte holds `value`, with `delta` added to its first `changedBytes` bytes.
QImage uniformFrame(int width, int height, uint8_t value, qsizetype changedBytes = 0, uint8_t delta = 0,
                    QImage::Format format = QImage::Format_RGB32)
{
    QImage frame(width, height, format);
    std::memset(frame.bits(), value, static_cast<size_t>(frame.sizeInBytes()));
    std::memset(frame.bits(), value + delta, static_cast<size_t>(changedBytes));
    return frame;
}

TEST(FrameDetector, CountsMeanByteDifferenceTimesAccuracyRoundedToEven)
{
    FrameDetector detector;
    const qsizetype all = 64 * 48 * 4;
    const struct {
        const char* what;
        qsizetype changedBytes;
        uint8_t delta;
        int accuracy;
        bool noise;
        int32_t count;
        QImage::Format format = QImage::Format_RGB32;  // 24-bit frames drop differences below 24
    } rows[] = {
        {"identical frames", 0, 0, 100, false, 0},
        {"every byte by 2", all, 2, 50, false, 100},
        {"every byte by 31, noise rule", all, 31, 1, true, 0},
        {"every byte by 32, noise rule", all, 32, 1, true, 32},
        {"24-bit, every byte by 23, noise rule", all * 3 / 4, 23, 1, true, 0, QImage::Format_RGB888},
        {"24-bit, every byte by 24, noise rule", all * 3 / 4, 24, 1, true, 24, QImage::Format_RGB888},
        {"mean 0.25 x 10 = 2.5 rounds to 2", all / 4, 1, 10, false, 2},
        {"mean 0.5 x 7 = 3.5 rounds to 4", all / 2, 1, 7, false, 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        detector.measureFrame(uniformFrame(64, 48, 100, 0, 0, row.format), row.accuracy, row.noise, SkipCompare);
        const auto result = detector.measureFrame(uniformFrame(64, 48, 100, row.changedBytes, row.delta, row.format),
                                                  row.accuracy, row.noise, SkipCompare);
        ASSERT_TRUE(result);
        EXPECT_TRUE(result->compared);
        EXPECT_EQ(result->count, row.count);
    }
}

TEST(FrameDetector, TickWithoutValidReferenceGivesZeroThenNextComparesAndAnEmptyFrameGivesNone)
{
    const auto tickAt32x24 = [](FrameDetector& d) { d.measureFrame(uniformFrame(32, 24, 0), 1, false, SkipCompare); };
    const struct {
        const char* what;
        std::function<void(FrameDetector&)> before;  // what precedes the uncompared tick
        QSize size;                                   // of the uncompared and the next frame
    } rows[] = {
        {"first frame", [](FrameDetector&) {}, {32, 24}},
        {"geometry change: same stride, more rows", tickAt32x24, {32, 30}},
        {"SkipCompare", [&](FrameDetector& d) { tickAt32x24(d); SkipCompare = true; }, {32, 24}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FrameDetector fresh;
        row.before(fresh);
        const auto uncompared = fresh.measureFrame(uniformFrame(row.size.width(), row.size.height(), 200), 1, false, SkipCompare);
        ASSERT_TRUE(uncompared);
        EXPECT_FALSE(uncompared->compared);
        EXPECT_EQ(uncompared->count, 0);
        EXPECT_FALSE(SkipCompare);

        // Compared against the uncompared tick's frame, not any before it.
        const auto next = fresh.measureFrame(uniformFrame(row.size.width(), row.size.height(), 205), 1, false, SkipCompare);
        ASSERT_TRUE(next);
        EXPECT_TRUE(next->compared);
        EXPECT_EQ(next->count, 5);
        // The difference image holds each byte's difference and stays opaque for the scope.
        QImage expected(row.size, QImage::Format_RGB32);
        expected.fill(qRgb(5, 5, 5));
        ASSERT_EQ(fresh.differenceImage().size(), row.size);
        EXPECT_EQ(0, std::memcmp(fresh.differenceImage().constBits(), expected.constBits(),
                                 static_cast<size_t>(expected.sizeInBytes())));

        // An empty frame ends the tick without a count; what it did before failing stays done.
        SkipCompare = true;
        EXPECT_FALSE(fresh.measureFrame(QImage(), 1, false, SkipCompare));
        EXPECT_FALSE(SkipCompare);
        fresh.measureFrame(uniformFrame(row.size.width(), row.size.height(), 0), 1, false, SkipCompare);
        const auto after = fresh.measureFrame(uniformFrame(row.size.width(), row.size.height(), 3), 1, false, SkipCompare);
        ASSERT_TRUE(after);
        EXPECT_EQ(after->count, 3);
    }
}

TEST(AlarmLevel, ClassifiesAgainstAlarmCount)
{
    using enum AlarmLevel;
    const struct {
        int16_t alarmCount;
        int32_t count;
        AlarmLevel level;
    } rows[] = {
        {100, 101, Alarm}, {100, 100, Suspect}, {100, 91, Suspect}, {100, 90, Doubt}, {100, 81, Doubt},
        {100, 80, Calm},   {7, 8, Alarm},       {7, 7, Suspect},    {7, 6, Doubt},    {7, 5, Calm},
        {1, 1, Suspect},   {1, 0, Calm},        {0, 1, Alarm},      {0, 0, Calm},
    };
    for (const auto& row : rows)
        EXPECT_EQ(classifyAlarm(row.count, row.alarmCount), row.level) << row.count << " of " << row.alarmCount;
    // What each level shows: its status text and the lamp lit, 0 blue, 1 yellow, 2 red.
    const std::tuple<AlarmLevel, const char*, int> shown[] = {{Calm, "Houndly: 大丈夫ワン！", 0},
                                                              {Doubt, "Houndly: 気のせいワン？", 1},
                                                              {Suspect, "Houndly: 誰か居るワン？", 2},
                                                              {Alarm, "Houndly: 警報！ 誰かいるワン！!", 2}};
    for (const auto& [level, text, lamp] : shown) {
        EXPECT_EQ(alarmStatusText(level), QString::fromUtf8(text));
        EXPECT_EQ(signalLampIndex(level), lamp) << text;
    }
    // Each lamp's bright, border and dark fill colours.
    const QRgb lamps[3][3] = {{qRgb(0, 0, 255), qRgb(0, 0, 192), qRgb(0, 0, 64)},
                              {qRgb(255, 255, 0), qRgb(192, 192, 0), qRgb(64, 64, 0)},
                              {qRgb(255, 0, 0), qRgb(192, 0, 0), qRgb(64, 0, 0)}};
    for (int lamp = 0; lamp < 3; ++lamp) {
        const SignalLampColours colours = signalLampColours(lamp);
        EXPECT_EQ(std::vector<QRgb>({colours.bright, colours.border, colours.fill}),
                  std::vector<QRgb>(std::begin(lamps[lamp]), std::end(lamps[lamp]))) << lamp;
    }
}

TEST(FormatDetectionCount, PadsToThreeDigitsAndGroupsThousands)
{
    const std::pair<int32_t, const char*> rows[] = {
        {0, "000"}, {45, "045"}, {1234, "1,234"}, {1234567, "1,234,567"}, {-5, "-005"}};
    for (const auto& [count, text] : rows)
        EXPECT_EQ(formatDetectionCount(count), QString::fromLatin1(text)) << count;
}

}  // namespace
