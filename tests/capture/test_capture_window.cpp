#include "capture/CaptureDialogProvider.h"
#include "capture/CaptureWindow.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;

// Three sources that cannot be opened, then the demo camera at index 3.
std::vector<DriverEntry> onlyIndexThreeWorks()
{
    std::vector<DriverEntry> drivers;
    for (int i = 0; i < 3; ++i)
        drivers.push_back(driverEntryForSource(QStringLiteral("/nonexistent/camera%1.avi").arg(i)));
    drivers.push_back(driverEntryForSource(QStringLiteral("demo")));
    return drivers;
}

class CaptureWindowTest : public ::testing::Test {
protected:
    void SetUp() override { setDriverEnumerator(onlyIndexThreeWorks); }
    void TearDown() override
    {
        setDriverEnumerator({});
        setPreferredCamera({});
        frameBufferClear();
    }

    // Waits for a frame newer than any seen so far.
    void waitForNewFrame()
    {
        uint64_t number = 0;
        window.latestFrame(&number);
        ASSERT_TRUE(window.waitForFrameAfter(number, 5s));
    }

    CaptureWindow window;
};

TEST(CaptureWrappers, NullWindowGivesFalse)
{
    CAPDRIVERCAPS caps;
    CAPSTATUS status;
    const std::vector<std::function<bool()>> wrappers = {
        [] { return capDriverConnect(nullptr, 0); },
        [] { return capDriverDisconnect(nullptr); },
        [&] { return capDriverGetCaps(nullptr, &caps, sizeof caps); },
        [&] { return capGetStatus(nullptr, &status, sizeof status); },
        [] { return capDlgVideoFormat(nullptr); },
        [] { return capDlgVideoSource(nullptr); },
        [] { return capDlgVideoCompression(nullptr); },
        [] { return capPreview(nullptr, true); },
        [] { return capPreviewRate(nullptr, 66); },
        [] { return capPreviewScale(nullptr, true); },
        [] { return capSetCallbackOnError(nullptr, nullptr); },
        [] { return capSetCallbackOnStatus(nullptr, nullptr); },
        [] { return capSetCallbackOnYield(nullptr, nullptr); },
        [] { return capSetCallbackOnFrame(nullptr, nullptr); },
        [] { return capSetCallbackOnVideoStream(nullptr, nullptr); },
        [] { return capSetCallbackOnWaveStream(nullptr, nullptr); },
        [] { return capSetCallbackOnCapControl(nullptr, nullptr); },
        [] { return capGrabFrame(nullptr); },
        [] { return capEditCopy(nullptr); },
    };
    for (size_t i = 0; i < wrappers.size(); ++i)
        EXPECT_FALSE(wrappers[i]()) << "wrapper " << i;
}

TEST_F(CaptureWindowTest, FirstDriverThatConnectsWins)
{
    int connected = -1;
    for (int index = 0; index < kMaxDrivers && connected < 0; ++index) {
        if (capDriverConnect(&window, index))
            connected = index;
    }
    EXPECT_EQ(connected, 3);
    CAPDRIVERCAPS caps;
    ASSERT_TRUE(capDriverGetCaps(&window, &caps, sizeof caps));
    EXPECT_EQ(caps.wDeviceIndex, 3u);
    EXPECT_FALSE(capDriverConnect(&window, 10));
    EXPECT_FALSE(capDriverConnect(&window, -1));
}

TEST_F(CaptureWindowTest, DriverDescriptionsListTheDriversInIndexOrder)
{
    QString name;
    QString version;
    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(capGetDriverDescriptionA(index, name, version));
        EXPECT_EQ(name, QStringLiteral("camera%1.avi").arg(index));
    }
    ASSERT_TRUE(capGetDriverDescriptionA(3, name, version));
    EXPECT_EQ(name, QStringLiteral("demo"));
    EXPECT_FALSE(capGetDriverDescriptionA(4, name, version));

    setPreferredCamera(QStringLiteral("demo"));
    ASSERT_TRUE(capGetDriverDescriptionA(0, name, version));
    EXPECT_EQ(name, QStringLiteral("demo"));
    EXPECT_TRUE(capDriverConnect(&window, 0));
}

TEST_F(CaptureWindowTest, FailedConnectKeepsTheDriverInUse)
{
    ASSERT_TRUE(capDriverConnect(&window, 3));
    EXPECT_FALSE(capDriverConnect(&window, 1));
    EXPECT_EQ(window.driverIndex(), 3);
    waitForNewFrame();
    EXPECT_TRUE(capGrabFrame(&window));
}

TEST_F(CaptureWindowTest, GrabStopsPreviewAndCopyFillsTheFrameBuffer)
{
    EXPECT_FALSE(capGrabFrame(&window));
    EXPECT_FALSE(capEditCopy(&window));
    EXPECT_FALSE(capPreview(&window, true));
    ASSERT_TRUE(capDriverConnect(&window, 3));
    ASSERT_TRUE(capPreview(&window, true));
    waitForNewFrame();

    ASSERT_TRUE(capGrabFrame(&window));
    EXPECT_FALSE(window.previewing());
    EXPECT_FALSE(frameBufferHasFrame());
    ASSERT_TRUE(capEditCopy(&window));
    ASSERT_TRUE(frameBufferHasFrame());
    EXPECT_EQ(frameBufferFrame(), window.grabbedFrame());
    EXPECT_EQ(frameHeader(frameBufferFrame()).bmWidthBytes, 640 * 4);
    EXPECT_EQ(frameHeader(frameBufferFrame()).bmBitsPixel, 32);
    EXPECT_TRUE(capPreview(&window, true));
    EXPECT_TRUE(window.previewing());

    // After the driver is let go a grab fails and there is nothing new to copy.
    ASSERT_TRUE(capDriverDisconnect(&window));
    EXPECT_FALSE(capDriverDisconnect(&window));
    EXPECT_FALSE(capGrabFrame(&window));
    EXPECT_FALSE(capEditCopy(&window));
    frameBufferClear();
    EXPECT_FALSE(frameBufferHasFrame());
}

TEST_F(CaptureWindowTest, StatusReportsTheFrameSizeDelivered)
{
    CAPSTATUS status;
    EXPECT_FALSE(capGetStatus(&window, &status, sizeof status));
    ASSERT_TRUE(capDriverConnect(&window, 3));
    ASSERT_TRUE(capGetStatus(&window, &status, sizeof status));
    EXPECT_EQ(status.uiImageWidth, 640u);
    EXPECT_EQ(status.uiImageHeight, 480u);

    ASSERT_TRUE(window.setFrameSize(QSize(320, 240)));
    ASSERT_TRUE(capGetStatus(&window, &status, sizeof status));
    EXPECT_EQ(status.uiImageWidth, 320u);
    EXPECT_EQ(status.uiImageHeight, 240u);
    waitForNewFrame();
    EXPECT_EQ(window.latestFrame().size(), QSize(320, 240));
    EXPECT_FALSE(window.setFrameSize(QSize(123, 45)));
}

TEST_F(CaptureWindowTest, CallbacksCanOnlyBeCleared)
{
    EXPECT_FALSE(capSetCallbackOnError(&window, nullptr));
    ASSERT_TRUE(capDriverConnect(&window, 3));
    int callback = 0;
    EXPECT_TRUE(capSetCallbackOnFrame(&window, nullptr));
    EXPECT_FALSE(capSetCallbackOnFrame(&window, &callback));
}

// Picks the smallest size, as a user would in the format dialog.
class SmallestSizeDialogs : public CaptureDialogProvider {
public:
    bool showVideoFormat(CaptureWindow& target) override { return target.setFrameSize(target.frameSizes().front()); }
    bool showVideoSource(CaptureWindow&) override { return false; }
    bool showVideoCompression(CaptureWindow&) override { return false; }
};

TEST_F(CaptureWindowTest, DialogsNeedAProvider)
{
    ASSERT_TRUE(capDriverConnect(&window, 3));
    EXPECT_FALSE(capDlgVideoFormat(&window));
    EXPECT_FALSE(capDlgVideoSource(&window));
    EXPECT_FALSE(capDlgVideoCompression(&window));

    window.setDialogProvider(std::make_shared<SmallestSizeDialogs>());
    EXPECT_TRUE(capDlgVideoFormat(&window));
    CAPSTATUS status;
    ASSERT_TRUE(capGetStatus(&window, &status, sizeof status));
    EXPECT_EQ(status.uiImageWidth, 160u);
}

TEST_F(CaptureWindowTest, FramesKeepComingAndAreNumbered)
{
    ASSERT_TRUE(capDriverConnect(&window, 3));
    uint64_t first = 0;
    QImage frame;
    ASSERT_TRUE(window.waitForFrameAfter(0, 5s, &frame, &first));
    uint64_t second = 0;
    ASSERT_TRUE(window.waitForFrameAfter(first, 5s, &frame, &second));
    EXPECT_GT(second, first);
    EXPECT_EQ(frame.size(), QSize(640, 480));
    window.disconnectDriver();
    EXPECT_FALSE(window.waitForFrameAfter(second, 10ms));
}

}  // namespace
