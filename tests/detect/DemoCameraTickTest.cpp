// Whole detector ticks against the built-in demo camera, its scene clock
// driven by the test so that the intruder shows up on purpose.
#include "capture/CaptureWindow.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "detect/AlarmLevel.h"
#include "detect/FrameDetector.h"
#include "detect/SkipCompare.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using namespace std::chrono_literals;

class DemoCameraTickTest : public testing::Test {
protected:
    void SetUp() override
    {
        setDriverEnumerator([] { return std::vector<DriverEntry>{}; });
        setPreferredCamera(QStringLiteral("demo"));
        setDemoSceneClock([this] { return sceneMs.load(); });
        Settings.COM.ACCURACY = 10;
        Settings.COM.NOIZE = false;
        SkipCompare = false;
        ASSERT_TRUE(capDriverConnect(&window, 0));
    }

    void TearDown() override
    {
        capDriverDisconnect(&window);
        setDemoSceneClock({});
        setPreferredCamera({});
        setDriverEnumerator({});
        frameBufferClear();
        Settings.COM = {};
        SkipCompare = false;
    }

    // Moves the scene to `ms` and waits until the camera has delivered a frame
    // rendered after the move (the one being read at the move may be older).
    void showSceneAt(int64_t ms)
    {
        sceneMs = ms;
        for (int frames = 0; frames < 2; ++frames) {
            uint64_t number = 0;
            window.latestFrame(&number);
            ASSERT_TRUE(window.waitForFrameAfter(number, 5s));
        }
    }

    DetectionResult tickAt(int64_t ms)
    {
        showSceneAt(ms);
        const auto result = detector.sDetectFrame(&window);
        EXPECT_TRUE(result.has_value()) << "no count at scene time " << ms;
        return result.value_or(DetectionResult{-1, false});
    }

    std::atomic<int64_t> sceneMs{2000};
    CaptureWindow window;
    FrameDetector detector;
};

TEST_F(DemoCameraTickTest, CalmSceneCountsLittleAndIntruderCountsMuch)
{
    const DetectionResult first = tickAt(2000);
    EXPECT_FALSE(first.compared);
    EXPECT_EQ(first.count, 0);
    EXPECT_EQ(detector.latestFrame().size(), QSize(640, 480));

    const DetectionResult calm = tickAt(4000);
    EXPECT_TRUE(calm.compared);
    EXPECT_EQ(classifyAlarm(calm.count, 100), AlarmLevel::Calm) << calm.count;

    // The default schedule shows the intruder in the last 3 s of every 30 s.
    const DetectionResult intruder = tickAt(28800);
    EXPECT_TRUE(intruder.compared);
    EXPECT_EQ(classifyAlarm(intruder.count, 100), AlarmLevel::Alarm) << intruder.count;
    EXPECT_GT(intruder.count, 5 * std::max(calm.count, 1));
    EXPECT_EQ(detector.differenceImage().size(), QSize(640, 480));
    EXPECT_FALSE(frameBufferHasFrame());  // each tick empties the buffer
}

TEST_F(DemoCameraTickTest, NewFrameSizeSkipsOneComparison)
{
    tickAt(2000);
    ASSERT_TRUE(window.setFrameSize(QSize(320, 240)));
    const DetectionResult resized = tickAt(28800);
    EXPECT_FALSE(resized.compared);
    EXPECT_EQ(resized.count, 0);
    EXPECT_TRUE(tickAt(28900).compared);
}

TEST_F(DemoCameraTickTest, NoCountWithoutCamera)
{
    capDriverDisconnect(&window);
    EXPECT_FALSE(detector.sDetectFrame(&window));
    EXPECT_FALSE(detector.sDetectFrame(nullptr));
}

}  // namespace
