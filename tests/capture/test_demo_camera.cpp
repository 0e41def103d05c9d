#include "capture/DemoDriver.h"
#include "tests/support/Footage.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QImage frameAt(DemoDriver& driver, int64_t sceneMs)
{
    setDemoSceneClock([sceneMs] { return sceneMs; });
    std::optional<DriverFrame> frame = driver.readFrame();
    setDemoSceneClock({});
    return frame ? frame->frame->picture() : QImage();
}

class DemoCamera : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(driver.open()); }
    DemoDriver driver;
};

TEST_F(DemoCamera, SameSceneTimeGivesTheSamePictureInEverySizeAndControlsChangeIt)
{
    DemoDriver second;
    ASSERT_TRUE(second.open());
    ASSERT_EQ(driver.frameSizes().size(), 3u);
    for (QSize size : driver.frameSizes()) {
        ASSERT_TRUE(driver.setFrameSize(size) && second.setFrameSize(size));
        const QImage a = frameAt(driver, 1234);
        EXPECT_EQ(a.size(), size);
        EXPECT_EQ(a, frameAt(second, 1234));
    }
    EXPECT_FALSE(driver.setFrameSize(QSize(800, 600)));

    const QImage normal = frameAt(driver, 1000);
    ASSERT_TRUE(driver.setControl(DemoDriver::kBrightness, 50));
    EXPECT_GT(meanByteDifference(normal, frameAt(driver, 1000)), 30.0);
    ASSERT_TRUE(driver.setControl(DemoDriver::kNoise, 0));
    EXPECT_EQ(frameAt(driver, 1000), frameAt(driver, 2000));
    EXPECT_FALSE(driver.setControl(99, 1));
}

// Two calm frames differ by the noise alone: each colour moves by -3..3 in
// each, so a byte differs by 2 2/7 on average (0 for the fourth byte of a
// pixel), and by that much wherever it lies, frame after frame: counts on the
// demo camera stay what they were.
TEST_F(DemoCamera, NoiseKeepsItsStrengthInEveryPartOfEveryFrame)
{
    constexpr double kExpected = 2.0 * 56.0 / 49.0 * 3.0 / 4.0;
    QImage previous = frameAt(driver, 1000);
    for (int64_t sceneMs = 1000 + DemoScene::kFrameMs; sceneMs < 1000 + 5 * DemoScene::kFrameMs; sceneMs += DemoScene::kFrameMs) {
        const QImage next = frameAt(driver, sceneMs);
        EXPECT_NEAR(meanByteDifference(previous, next), kExpected, 0.05) << sceneMs;
        // No byte moves by the noise threshold of 32-bit frames.
        for (qsizetype i = 0; i < next.sizeInBytes(); ++i)
            ASSERT_LT(std::abs(previous.constBits()[i] - next.constBits()[i]), 32) << "byte " << i;
        for (const QRect part : {QRect(0, 0, 640, 8), QRect(0, 472, 640, 8), QRect(0, 0, 8, 480), QRect(632, 0, 8, 480)})
            EXPECT_NEAR(meanByteDifference(previous.copy(part), next.copy(part)), kExpected, 0.25) << sceneMs;
        previous = next;
    }
}

TEST(DemoCameraPeriod, EnvironmentSetsTheIntruderPeriodWithinItsRange)
{
    const std::pair<const char*, int> cases[] = {{"5", 5}, {"12", 12}, {"1", 5}, {"9999", 600}, {"soon", 30}, {"", 30}};
    for (const auto& [value, period] : cases) {
        qputenv("HOUNDLY_DEMO_PERIOD", value);
        DemoDriver driver;
        qunsetenv("HOUNDLY_DEMO_PERIOD");
        ASSERT_TRUE(driver.open());
        int shown = 0;
        for (const CaptureControl& control : driver.controls())
            shown = control.id == DemoDriver::kIntruderPeriod ? control.value : shown;
        EXPECT_EQ(shown, period) << value;
        // The intruder is in view in the last 3 s of the period, and only then.
        const QImage calm = frameAt(driver, (period - 4) * 1000);
        EXPECT_GT(meanByteDifference(calm, frameAt(driver, period * 1000 - 1200)), 15.0) << value;
        EXPECT_LT(meanByteDifference(calm, frameAt(driver, (period - 5) * 1000 + 100)), 15.0) << value;
    }
}

}  // namespace
