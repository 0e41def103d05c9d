// The capture window over real sources (missing files, the demo camera) and
// the demo camera's own pictures.
#include "capture/CaptureWindow.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "capture/PreEventBuffer.h"
#include "tests/support/Footage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Three sources that cannot be opened, then the demo camera at index 3.
class CaptureWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDriverEnumerator([] {
            std::vector<DriverEntry> drivers;
            for (int i = 0; i < 3; ++i)
                drivers.push_back(driverEntryForSource(QStringLiteral("/nonexistent/camera%1.avi").arg(i)));
            drivers.push_back(driverEntryForSource(QStringLiteral("demo")));
            return drivers;
        });
    }
    void TearDown() override { setDriverEnumerator({}); }

    // Waits for a frame newer than any seen so far.
    void waitForNewFrame()
    {
        uint64_t number = 0;
        window.latestFrame(&number);
        ASSERT_TRUE(window.waitForFrameAfter(number, 5s));
    }

    CaptureWindow window;
};

// The first driver that connects wins and a failed connect keeps it; a still
// picture is the grabbed frame, and grabbing stops the preview.
TEST_F(CaptureWindowTest, FirstDriverThatConnectsWinsAndGrabsStills)
{
    CAPSTATUS status;
    EXPECT_FALSE(capGetStatus(&window, &status, sizeof status)) << "not connected";
    EXPECT_FALSE(capPreview(&window, true)) << "not connected";
    QString name, version;
    for (int index = 0; index < 4; ++index) {
        ASSERT_TRUE(capGetDriverDescriptionA(index, name, version));
        EXPECT_EQ(name, index < 3 ? QStringLiteral("camera%1.avi").arg(index) : QStringLiteral("demo"));
        ASSERT_EQ(capDriverConnect(&window, index), index == 3) << index;
    }
    EXPECT_FALSE(capGetDriverDescriptionA(4, name, version));
    CAPDRIVERCAPS caps;
    ASSERT_TRUE(capDriverGetCaps(&window, &caps, sizeof caps));
    EXPECT_EQ(caps.wDeviceIndex, 3u);
    for (int index : {1, 10, -1})
        EXPECT_FALSE(capDriverConnect(&window, index)) << index;
    EXPECT_EQ(window.driverIndex(), 3);
    ASSERT_TRUE(capGetStatus(&window, &status, sizeof status));
    EXPECT_EQ(QSize(int(status.uiImageWidth), int(status.uiImageHeight)), QSize(640, 480));
    EXPECT_FALSE(capDlgVideoFormat(&window)) << "no dialog without a provider";

    window.setPreEventLength(1s);
    ASSERT_TRUE(capPreview(&window, true));
    waitForNewFrame();
    uint64_t before = 0, after = 0;  // the reader paces the demo camera's 15 frames a second
    window.latestFrame(&before);
    std::this_thread::sleep_for(1s);
    window.latestFrame(&after);
    EXPECT_NEAR(double(after - before), 15.0, 4.0);
    FrameStamp stamp;
    const QImage still = grabStillPicture(&window, &stamp);
    EXPECT_FALSE(window.previewing());
    EXPECT_EQ(still, window.grabbedFrame());
    EXPECT_TRUE(stamp == window.grabbedFrameStamp());
    EXPECT_EQ(frameHeader(still).bmWidthBytes, 640 * 4);
    EXPECT_TRUE(capPreview(&window, true));

    ASSERT_TRUE(window.setFrameSize(QSize(160, 120)));
    waitForNewFrame();
    EXPECT_EQ(window.latestFrame().size(), QSize(160, 120));
    const auto kept = [this] { return window.preEventBuffer()->framesAfter(std::chrono::steady_clock::time_point::min()); };
    // Frames kept before the new size are gone (one being kept as the size changed may stay).
    const std::vector<KeptFrame> sized = kept();
    EXPECT_LE(std::count_if(sized.begin(), sized.end(), [](const KeptFrame& frame) { return frame.size != QSize(160, 120); }), 1);
    EXPECT_FALSE(window.setFrameSize(QSize(123, 45)));

    // After the driver is let go no frame comes and a grab fails.
    uint64_t last = 0;
    window.latestFrame(&last);
    ASSERT_TRUE(capDriverDisconnect(&window));
    EXPECT_FALSE(window.waitForFrameAfter(last, 10ms));
    EXPECT_FALSE(capGrabFrame(&window));
    EXPECT_TRUE(grabStillPicture(&window).isNull());
    const std::chrono::steady_clock::time_point reconnected = std::chrono::steady_clock::now();
    ASSERT_TRUE(capDriverConnect(&window, 3));
    for (const KeptFrame& frame : kept())
        EXPECT_GT(frame.time, reconnected) << "so are those of a camera let go";

    setDriverEnumerator([] { return std::vector<DriverEntry>(12, driverEntryForSource(QStringLiteral("demo"))); });
    EXPECT_TRUE(capGetDriverDescriptionA(9, name, version));
    EXPECT_FALSE(capGetDriverDescriptionA(10, name, version)) << "ten drivers at most";
}

QImage frameAt(DemoDriver& driver, int64_t sceneMs)
{
    setDemoSceneClock([sceneMs] { return sceneMs; });
    std::optional<DriverFrame> frame = driver.readFrame();
    setDemoSceneClock({});
    return frame ? frame->frame->picture() : QImage();
}

// Two calm frames differ by the noise alone: each colour moves by -3..3 in
// each, so a byte differs by 2 2/7 on average (0 for the fourth byte of a
// pixel), and by that much wherever it lies, frame after frame: counts on the
// demo camera stay what they were.
TEST(DemoCamera, SameSceneTimeGivesTheSamePictureInEverySizeControlsChangeItAndNoiseKeepsItsStrength)
{
    DemoDriver driver, second;
    ASSERT_TRUE(driver.open() && second.open());
    ASSERT_EQ(driver.frameSizes().size(), 3u);
    for (QSize size : driver.frameSizes()) {
        ASSERT_TRUE(driver.setFrameSize(size) && second.setFrameSize(size));
        const QImage a = frameAt(driver, 1234);
        EXPECT_EQ(a.size(), size);
        EXPECT_EQ(a, frameAt(second, 1234));
    }
    EXPECT_FALSE(driver.setFrameSize(QSize(800, 600)));
    EXPECT_EQ(driver.readFrame()->interval, 66ms) << "15 frames a second";

    constexpr double kExpected = 2.0 * 56.0 / 49.0 * 3.0 / 4.0;
    QImage previous = frameAt(second, 1000);
    ASSERT_EQ(previous.size(), QSize(640, 480));
    for (int64_t sceneMs = 1000 + DemoScene::kFrameMs; sceneMs < 1000 + 5 * DemoScene::kFrameMs; sceneMs += DemoScene::kFrameMs) {
        const QImage next = frameAt(second, sceneMs);
        EXPECT_NEAR(meanByteDifference(previous, next), kExpected, 0.05) << sceneMs;
        // No byte moves by the noise threshold of 32-bit frames.
        for (qsizetype i = 0; i < next.sizeInBytes(); ++i)
            ASSERT_LT(std::abs(previous.constBits()[i] - next.constBits()[i]), 32) << "byte " << i;
        for (const QRect part : {QRect(0, 0, 640, 8), QRect(0, 472, 640, 8), QRect(0, 0, 8, 480), QRect(632, 0, 8, 480)})
            EXPECT_NEAR(meanByteDifference(previous.copy(part), next.copy(part)), kExpected, 0.25) << sceneMs;
        previous = next;
    }

    const QImage normal = frameAt(driver, 1000);
    ASSERT_TRUE(driver.setControl(DemoDriver::kBrightness, 50));
    EXPECT_GT(meanByteDifference(normal, frameAt(driver, 1000)), 30.0);
    ASSERT_TRUE(driver.setControl(DemoDriver::kNoise, 0));
    EXPECT_EQ(frameAt(driver, 1000), frameAt(driver, 2000));
    EXPECT_FALSE(driver.setControl(99, 1));
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
        EXPECT_LT(DemoScene::intruderProgress(period * 1000 - 3001, period), 0) << value;
        EXPECT_EQ(DemoScene::intruderProgress(period * 1000 - 3000, period), 0) << value;
    }
}

}  // namespace
