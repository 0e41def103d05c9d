#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"

#include <gtest/gtest.h>

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
    void TearDown() override
    {
        setDriverEnumerator({});
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

TEST_F(CaptureWindowTest, FirstDriverThatConnectsWinsAndAFailedConnectKeepsIt)
{
    CAPSTATUS status;
    EXPECT_FALSE(capGetStatus(&window, &status, sizeof status)) << "not connected";
    QString name;
    QString version;
    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(capGetDriverDescriptionA(index, name, version));
        EXPECT_EQ(name, QStringLiteral("camera%1.avi").arg(index));
        EXPECT_FALSE(capDriverConnect(&window, index));
    }
    ASSERT_TRUE(capGetDriverDescriptionA(3, name, version));
    EXPECT_EQ(name, QStringLiteral("demo"));
    EXPECT_FALSE(capGetDriverDescriptionA(4, name, version));
    ASSERT_TRUE(capDriverConnect(&window, 3));
    CAPDRIVERCAPS caps;
    ASSERT_TRUE(capDriverGetCaps(&window, &caps, sizeof caps));
    EXPECT_EQ(caps.wDeviceIndex, 3u);

    for (int index : {1, 10, -1})
        EXPECT_FALSE(capDriverConnect(&window, index)) << index;
    EXPECT_EQ(window.driverIndex(), 3);
    ASSERT_TRUE(capGetStatus(&window, &status, sizeof status));
    EXPECT_EQ(QSize(int(status.uiImageWidth), int(status.uiImageHeight)), QSize(640, 480));
    EXPECT_FALSE(capDlgVideoFormat(&window)) << "no dialog without a provider";
    ASSERT_TRUE(window.setFrameSize(QSize(160, 120)));
    waitForNewFrame();
    EXPECT_EQ(window.latestFrame().size(), QSize(160, 120));
    EXPECT_FALSE(window.setFrameSize(QSize(123, 45)));
}

TEST_F(CaptureWindowTest, GrabStopsPreviewAndCopyFillsTheFrameBuffer)
{
    EXPECT_FALSE(capPreview(&window, true)) << "not connected";
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
    EXPECT_TRUE(capPreview(&window, true));

    // After the driver is let go no frame comes, a grab fails and there is nothing new to copy.
    uint64_t last = 0;
    window.latestFrame(&last);
    ASSERT_TRUE(capDriverDisconnect(&window));
    EXPECT_FALSE(window.waitForFrameAfter(last, 10ms));
    EXPECT_FALSE(capGrabFrame(&window));
    EXPECT_FALSE(capEditCopy(&window));
}

}  // namespace
