#include "capture/DemoDriver.h"
#include "FrameMath.h"

#include <gtest/gtest.h>

namespace {

QImage frameAt(DemoDriver& driver, int64_t sceneMs)
{
    setDemoSceneClock([sceneMs] { return sceneMs; });
    std::optional<DriverFrame> frame = driver.readFrame();
    setDemoSceneClock({});
    return frame ? frame->image : QImage();
}

TEST(DemoCamera, SameSceneTimeGivesTheSamePicture)
{
    DemoDriver first;
    DemoDriver second;
    ASSERT_TRUE(first.open());
    ASSERT_TRUE(second.open());
    const QImage a = frameAt(first, 1234);
    EXPECT_EQ(a, frameAt(second, 1234));
    EXPECT_EQ(a.format(), QImage::Format_RGB32);
    EXPECT_EQ(a.bytesPerLine(), 4 * a.width());
}

TEST(DemoCamera, OffersThreeSizesAndDeliversTheChosenOne)
{
    DemoDriver driver;
    ASSERT_TRUE(driver.open());
    EXPECT_EQ(driver.frameSize(), QSize(640, 480));
    EXPECT_EQ(frameAt(driver, 0).size(), QSize(640, 480));
    for (QSize size : driver.frameSizes()) {
        ASSERT_TRUE(driver.setFrameSize(size));
        EXPECT_EQ(frameAt(driver, 0).size(), size);
    }
    EXPECT_EQ(driver.frameSizes().size(), 3u);
    EXPECT_FALSE(driver.setFrameSize(QSize(800, 600)));
    EXPECT_EQ(driver.frameSize(), QSize(640, 480));
}

TEST(DemoCamera, CalmSceneDiffersOnlyByMildNoise)
{
    DemoDriver driver;
    ASSERT_TRUE(driver.open());
    const QImage a = frameAt(driver, 2000);
    const QImage b = frameAt(driver, 4000);
    const double mean = meanByteDifference(a, b);
    EXPECT_GT(mean, 0.0);  // noise makes frames differ
    EXPECT_LT(mean, 4.0);
    // No byte moves by the noise threshold of 32-bit frames.
    for (qsizetype i = 0; i < a.sizeInBytes(); ++i)
        ASSERT_LT(std::abs(a.constBits()[i] - b.constBits()[i]), 32) << "byte " << i;
}

TEST(DemoCamera, IntruderCrossesOnScheduleAndChangesMuch)
{
    DemoDriver driver;
    ASSERT_TRUE(driver.open());
    const QImage calm = frameAt(driver, 26000);
    // Default period 30 s: the intruder is in view during the last 3 s of each period.
    EXPECT_LT(DemoScene::intruderProgress(26999, 30), 0);
    EXPECT_GE(DemoScene::intruderProgress(27000, 30), 0);
    EXPECT_GE(DemoScene::intruderProgress(59999, 30), 0);
    EXPECT_LT(DemoScene::intruderProgress(60000, 30), 0);
    const QImage entering = frameAt(driver, 27900);
    const QImage crossing = frameAt(driver, 28800);
    EXPECT_GT(meanByteDifference(calm, crossing), 15.0);
    EXPECT_GT(meanByteDifference(entering, crossing), 15.0);
}

TEST(DemoCamera, SourceControlsChangeThePicture)
{
    DemoDriver driver;
    ASSERT_TRUE(driver.open());
    const QImage normal = frameAt(driver, 1000);
    ASSERT_TRUE(driver.setControl(DemoDriver::kBrightness, 50));
    EXPECT_GT(meanByteDifference(normal, frameAt(driver, 1000)), 30.0);

    ASSERT_TRUE(driver.setControl(DemoDriver::kIntruderPeriod, 5));
    EXPECT_GE(DemoScene::intruderProgress(3500, 5), 0);
    const QImage withIntruder = frameAt(driver, 3500);
    ASSERT_TRUE(driver.setControl(DemoDriver::kIntruderPeriod, 30));
    EXPECT_GT(meanByteDifference(withIntruder, frameAt(driver, 3500)), 10.0);

    ASSERT_TRUE(driver.setControl(DemoDriver::kNoise, 0));
    EXPECT_EQ(frameAt(driver, 1000), frameAt(driver, 2000));

    EXPECT_TRUE(driver.setControl(DemoDriver::kIntruderPeriod, 1));  // clamped to the range
    for (const CaptureControl& control : driver.controls()) {
        if (control.id == DemoDriver::kIntruderPeriod) {
            EXPECT_EQ(control.value, control.minimum);
        }
    }
    EXPECT_FALSE(driver.setControl(99, 1));
}

}  // namespace
