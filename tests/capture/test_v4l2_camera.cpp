#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "capture/V4l2Cameras.h"
#include "capture/V4l2Driver.h"
#include "detect/FrameDetector.h"
#include "FakeV4l2Node.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"

#include <QTemporaryDir>

#include <future>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// A webcam with an integer, a disabled and a menu control.
std::shared_ptr<FakeCamera> webcam(const char* card = "Fake Camera")
{
    auto camera = std::make_shared<FakeCamera>();
    camera->card = card;
    camera->addControl(V4L2_CID_BRIGHTNESS, "Brightness", V4L2_CTRL_TYPE_INTEGER, 255, 140);
    camera->addControl(V4L2_CID_CONTRAST, "Contrast", V4L2_CTRL_TYPE_INTEGER, 255, 32, V4L2_CTRL_FLAG_DISABLED);
    camera->addControl(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", V4L2_CTRL_TYPE_MENU, 2, 1, 0,
                       {"Disabled", "50 Hz", "60 Hz"});
    return camera;
}

std::unique_ptr<V4l2Driver> openDriver(const std::shared_ptr<FakeCamera>& camera)
{
    auto driver = std::make_unique<V4l2Driver>(std::make_unique<FakeV4l2Node>(camera, QStringLiteral("/dev/video0")));
    EXPECT_TRUE(driver->open());
    return driver;
}

TEST(V4l2Cameras, OnlyCaptureNodesBecomeDriversInDeviceOrderNamedByTheirCard)
{
    QTemporaryDir folder;
    for (const char* name : {"video10", "video2", "video0", "videox", "media0"})
        writeFileBytes(folder.filePath(QString::fromLatin1(name)), {});
    const QStringList expected = {folder.filePath("video0"), folder.filePath("video2"), folder.filePath("video10")};
    EXPECT_EQ(videoNodePaths(folder.path()), expected);

    auto metadata = std::make_shared<FakeCamera>();
    metadata->deviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
    auto unplugged = webcam();
    unplugged->plugged = false;
    const std::map<QString, std::shared_ptr<FakeCamera>> nodes = {{"/dev/video0", webcam("USB2.0 HD UVC WebCam")},
                                                                  {"/dev/video1", metadata},
                                                                  {"/dev/video2", webcam("Second Camera")},
                                                                  {"/dev/video3", unplugged}};
    const std::vector<DriverEntry> cameras =
        v4l2Cameras({"/dev/video0", "/dev/video1", "/dev/video2", "/dev/video3"},
                    [&](const QString& path) { return std::make_unique<FakeV4l2Node>(nodes.at(path), path); });
    ASSERT_EQ(cameras.size(), 2u);
    EXPECT_EQ(cameras[0].name, QStringLiteral("USB2.0 HD UVC WebCam"));
    EXPECT_EQ(cameras[1].name, QStringLiteral("Second Camera"));
}

TEST(V4l2Driver, OffersTheCommonSizesKeepsTheDeviceSizeAndChangesControls)
{
    auto camera = webcam();
    std::unique_ptr<V4l2Driver> driver = openDriver(camera);
    EXPECT_EQ(driver->frameSizes(), std::vector<QSize>({{160, 120}, {320, 240}, {640, 480}}));
    EXPECT_EQ(driver->frameSize(), QSize(320, 240));
    EXPECT_FALSE(driver->setFrameSize(QSize(800, 600)));
    ASSERT_TRUE(driver->setFrameSize(QSize(640, 480)));
    std::optional<DriverFrame> frame = driver->readFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->frame->size(), QSize(640, 480));

    // A range of sizes offers the common sizes inside; a device size outside is not offered.
    camera->range = v4l2_frmsize_stepwise{160, 640, 16, 120, 480, 8};
    camera->current = {1000, 1000};
    std::unique_ptr<V4l2Driver> ranged = openDriver(camera);
    EXPECT_EQ(ranged->frameSizes(), std::vector<QSize>({{160, 120}, {176, 144}, {320, 240}, {352, 288}, {640, 480}}));
    EXPECT_EQ(ranged->frameSize(), QSize(640, 480));

    std::vector<CaptureControl> controls = driver->controls();
    ASSERT_EQ(controls.size(), 2u);  // the disabled one is left out
    EXPECT_EQ(controls[0].value, 140);
    EXPECT_EQ(controls[1].kind, CaptureControl::Kind::Menu);
    EXPECT_EQ(controls[1].menuItems, QStringList({"Disabled", "50 Hz", "60 Hz"}));
    EXPECT_TRUE(driver->setControl(V4L2_CID_BRIGHTNESS, 200));
    EXPECT_FALSE(driver->setControl(V4L2_CID_BRIGHTNESS, 999));
    EXPECT_EQ(driver->controls()[0].value, 200);
}

// The window's thread asks while the reader is inside a read that does not end
// until the test lets it: the answers must come meanwhile. Then the camera is
// unplugged and plugged back. The detector's tick measures only frames it has
// not seen, and the first frame after the camera came back is a new reference
// rather than compared with the last one before it went.
TEST(V4l2Driver, AStalledOrUnpluggedCameraKeepsTheWindowAnsweringAndTheDetectorHonest)
{
    auto camera = webcam();
    setDriverEnumerator([camera] {
        return v4l2Cameras({"/dev/video0"},
                           [camera](const QString& path) { return std::make_unique<FakeV4l2Node>(camera, path); });
    });
    CaptureWindow window;
    FrameDetector detector;
    EXPECT_FALSE(detector.sDetectFrame(&window)) << "no camera, no tick";
    EXPECT_FALSE(detector.sDetectFrame(nullptr));
    ASSERT_TRUE(capDriverConnect(&window, 0));
    // Whether the tick after a new frame compared; a tick must come.
    const auto comparesANewFrame = [&] {
        uint64_t number = 0;
        window.latestFrame(&number);
        EXPECT_TRUE(window.waitForFrameAfter(number, 5s));
        const std::optional<DetectionResult> tick = detector.sDetectFrame(&window);
        EXPECT_TRUE(tick);
        return tick && tick->compared;
    };
    EXPECT_FALSE(comparesANewFrame()) << "the first frame is the reference";
    EXPECT_TRUE(comparesANewFrame());

    camera->stalled = true;
    ASSERT_TRUE(waitUntil([&] { return camera->stalledReads > 0; }, 10s));
    detector.sDetectFrame(&window);  // takes whatever came before the stall
    EXPECT_FALSE(detector.sDetectFrame(&window)) << "nothing new while the camera is stalled";
    std::future<bool> served = std::async(std::launch::async, [&window] {
        return window.controls().size() == 2u && window.setControl(V4L2_CID_BRIGHTNESS, 10) &&
               window.frameSizes().size() == 3u && window.setFrameSize(QSize(640, 480)) &&
               window.frameSize() == QSize(640, 480);
    });
    const bool answeredWhileReading = served.wait_for(5s) == std::future_status::ready;
    camera->stalled = false;
    EXPECT_TRUE(answeredWhileReading);
    EXPECT_TRUE(served.get());
    EXPECT_TRUE(waitUntil([&] { return window.latestFrame().size() == QSize(640, 480); }, 5s))
        << "the reader took up the new size";
    comparesANewFrame();  // the new size: a new reference
    EXPECT_TRUE(comparesANewFrame());

    camera->plugged = false;
    EXPECT_TRUE(waitUntil([&] { return window.latestFrame().isNull(); }, 10s));
    EXPECT_FALSE(capGrabFrame(&window));
    EXPECT_FALSE(detector.sDetectFrame(&window)) << "nothing while it is lost";
    camera->plugged = true;
    EXPECT_FALSE(comparesANewFrame()) << "back after a loss: a new reference";
    EXPECT_TRUE(comparesANewFrame());
    EXPECT_TRUE(capGrabFrame(&window));
    setDriverEnumerator({});
}

}  // namespace
