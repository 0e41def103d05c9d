#include "detect/FrameDetector.h"
#include "detect/SkipCompare.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

// An RGB32 frame whose every byte holds `value`.
QImage uniformFrame(int width, int height, uint8_t value)
{
    QImage frame(width, height, QImage::Format_RGB32);
    std::memset(frame.bits(), value, static_cast<size_t>(frame.sizeInBytes()));
    return frame;
}

// Adds `delta` to the first `changedBytes` bytes of a copy of `frame`.
QImage changedFrame(const QImage& frame, qsizetype changedBytes, uint8_t delta)
{
    QImage changed = frame.copy();
    uint8_t* bytes = changed.bits();
    for (qsizetype i = 0; i < changedBytes; ++i)
        bytes[i] = static_cast<uint8_t>(bytes[i] + delta);
    return changed;
}

class FrameDetectorTest : public testing::Test {
protected:
    void SetUp() override { SkipCompare = false; }
    void TearDown() override { SkipCompare = false; }

    // Makes `reference` the detector's reference, then measures `frame`.
    DetectionResult measurePair(const QImage& reference, const QImage& frame, int accuracy,
                                bool noise)
    {
        detector.measureFrame(reference, accuracy, noise);
        const auto result = detector.measureFrame(frame, accuracy, noise);
        EXPECT_TRUE(result.has_value());
        return result.value_or(DetectionResult{-1, false});
    }

    FrameDetector detector;
};

TEST_F(FrameDetectorTest, CountsMeanByteDifferenceTimesAccuracy)
{
    struct Row {
        const char* what;
        qsizetype changedBytes;  // of 64 x 48 x 4 = 12288
        uint8_t delta;
        int accuracy;
        bool noise;
        int32_t count;
    };
    const qsizetype all = 64 * 48 * 4;
    const Row rows[] = {
        {"identical frames", 0, 0, 100, false, 0},
        {"every byte by 2", all, 2, 50, false, 100},
        {"every byte by 2, noise rule", all, 2, 50, true, 0},
        {"every byte by 31, noise rule", all, 31, 1, true, 0},
        {"every byte by 32, noise rule", all, 32, 1, true, 32},
        {"mean 0.25 x 10 = 2.5 rounds to 2", all / 4, 1, 10, false, 2},
        {"mean 0.5 x 7 = 3.5 rounds to 4", all / 2, 1, 7, false, 4},
        {"mean 0.75 x 2 = 1.5 rounds to 2", all * 3 / 4, 1, 2, false, 2},
    };
    const QImage reference = uniformFrame(64, 48, 100);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const DetectionResult result =
            measurePair(reference, changedFrame(reference, row.changedBytes, row.delta),
                        row.accuracy, row.noise);
        EXPECT_TRUE(result.compared);
        EXPECT_EQ(result.count, row.count);
    }
}

TEST_F(FrameDetectorTest, DifferenceImageHoldsEachByteDifference)
{
    const QImage reference = uniformFrame(5, 3, 200);
    QImage frame = reference.copy();
    frame.bits()[0] = 150;                       // 50 kept
    frame.bits()[frame.sizeInBytes() - 2] = 220;  // 20 dropped by the noise rule
    measurePair(reference, frame, 1, true);
    // Every pixel opaque black but the one difference kept.
    QImage expected(5, 3, QImage::Format_RGB32);
    expected.fill(qRgb(0, 0, 0));
    expected.bits()[0] = 50;
    ASSERT_EQ(detector.differenceImage().size(), frame.size());
    EXPECT_EQ(0, std::memcmp(detector.differenceImage().constBits(), expected.constBits(),
                             static_cast<size_t>(expected.sizeInBytes())));
}

TEST_F(FrameDetectorTest, TickWithoutValidReferenceGivesZeroThenNextCompares)
{
    struct Row {
        const char* what;
        std::function<void(FrameDetector&)> before;  // what precedes the uncompared tick
        QSize size;                                   // of the uncompared and the next frame
    };
    const Row rows[] = {
        {"first frame", [](FrameDetector&) {}, {32, 24}},
        // Same stride, more rows: a new format.
        {"geometry change",
         [](FrameDetector& d) { d.measureFrame(uniformFrame(32, 24, 0), 1, false); }, {32, 30}},
        {"SkipCompare",
         [](FrameDetector& d) {
             d.measureFrame(uniformFrame(32, 24, 0), 1, false);
             SkipCompare = true;
         },
         {32, 24}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FrameDetector fresh;
        row.before(fresh);
        const auto uncompared =
            fresh.measureFrame(uniformFrame(row.size.width(), row.size.height(), 200), 1, false);
        ASSERT_TRUE(uncompared);
        EXPECT_FALSE(uncompared->compared);
        EXPECT_EQ(uncompared->count, 0);
        EXPECT_FALSE(SkipCompare);
        EXPECT_TRUE(fresh.referenceReady());
        EXPECT_EQ(fresh.referenceHeader().bmHeight, row.size.height());

        // Compared against the uncompared tick's frame, not any before it.
        const auto next =
            fresh.measureFrame(uniformFrame(row.size.width(), row.size.height(), 205), 1, false);
        ASSERT_TRUE(next);
        EXPECT_TRUE(next->compared);
        EXPECT_EQ(next->count, 5);
    }
}

TEST_F(FrameDetectorTest, EmptyFrameEndsTickWithoutCountAndKeepsWorking)
{
    detector.measureFrame(uniformFrame(8, 8, 0), 1, false);
    SkipCompare = true;
    EXPECT_FALSE(detector.measureFrame(QImage(), 1, false));
    EXPECT_FALSE(SkipCompare);  // what the tick did before failing stays done

    detector.measureFrame(uniformFrame(8, 8, 0), 1, false);
    const auto after = detector.measureFrame(uniformFrame(8, 8, 3), 1, false);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->count, 3);
}

TEST_F(FrameDetectorTest, KeepsBuffersBetweenTicksAndCopiesNoFrame)
{
    const QImage frame = uniformFrame(8, 8, 77);
    detector.measureFrame(frame, 1, false);
    EXPECT_EQ(detector.latestFrame().constBits(), frame.constBits());

    // The scope keeps showing the last difference image while the next is made.
    detector.measureFrame(uniformFrame(8, 8, 1), 1, false);
    QImage shown = detector.differenceImage();
    const uchar* first = shown.constBits();
    detector.measureFrame(uniformFrame(8, 8, 2), 1, false);
    EXPECT_NE(detector.differenceImage().constBits(), first);
    shown = detector.differenceImage();
    // Takes the memory a released first buffer would free, so only a kept one can match.
    const QImage other = uniformFrame(8, 8, 0);
    detector.measureFrame(uniformFrame(8, 8, 3), 1, false);
    EXPECT_EQ(detector.differenceImage().constBits(), first);
    EXPECT_EQ(shown.constBits()[0], 1);
}

TEST(FormatDetectionCount, PadsToThreeDigitsAndGroupsThousands)
{
    const std::pair<int32_t, const char*> rows[] = {
        {0, "000"}, {45, "045"}, {999, "999"}, {1234, "1,234"}, {25500, "25,500"},
        {1234567, "1,234,567"}, {-5, "-005"}};
    for (const auto& [count, text] : rows)
        EXPECT_EQ(formatDetectionCount(count), QString::fromLatin1(text)) << count;
}

}  // namespace
