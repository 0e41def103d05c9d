#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "capture/V4l2Cameras.h"
#include "capture/V4l2Driver.h"
#include "capture/V4l2Node.h"
#include "detect/FrameDetector.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"

#include <QTemporaryDir>

#include <linux/videodev2.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// A webcam as the kernel would describe it, shared by every node opened on it,
// with an integer control, three it cannot change and a menu.
struct FakeCamera {
    struct Control {
        v4l2_queryctrl query;
        int value;
        std::vector<const char*> menu;
    };
    static Control control(uint32_t id, uint32_t type, int maximum, int value, uint32_t flags = 0,
                           std::vector<const char*> menu = {})
    {
        v4l2_queryctrl query{};
        query.id = id, query.type = type, query.maximum = maximum, query.step = 1, query.flags = flags;
        return {query, value, std::move(menu)};
    }
    explicit FakeCamera(std::string name = "Fake Camera") : card(std::move(name)) {}

    std::string card;
    uint32_t deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    std::vector<v4l2_frmsize_discrete> sizes = {{640, 480}, {160, 120}, {320, 240}};
    std::vector<uint32_t> formats = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG};  // in a webcam's usual order
    std::atomic<uint32_t> streamed{0};                                         // the running stream's format
    std::optional<v4l2_frmsize_stepwise> range;  // instead of `sizes` when set
    v4l2_frmsize_discrete current = {320, 240};
    std::vector<Control> controls = {
        control(V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, 255, 140),
        control(V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, 255, 32, V4L2_CTRL_FLAG_DISABLED),
        control(V4L2_CID_SATURATION, V4L2_CTRL_TYPE_INTEGER, 255, 32, V4L2_CTRL_FLAG_READ_ONLY),
        control(V4L2_CID_HUE, V4L2_CTRL_TYPE_INTEGER, 255, 32, V4L2_CTRL_FLAG_INACTIVE),
        control(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, 2, 1, 0, {"Disabled", "50 Hz", "60 Hz"})};
    std::atomic<bool> plugged{true};
    // While set, a read waits (a long exposure, a stalled device); each such read is counted.
    std::atomic<bool> stalled{false};
    std::atomic<int> stalledReads{0};
    std::vector<std::chrono::steady_clock::time_point> opened;  // every node's open(), under `mutex`
    std::mutex mutex;
};

// A node on a FakeCamera, since no camera exists here: answers the ioctls the
// V4L2 driver asks and streams plain frames at about 100 frames a second.
class FakeV4l2Node : public V4l2Node {
public:
    FakeV4l2Node(std::shared_ptr<FakeCamera> camera, QString path) : camera_(std::move(camera)), path_(std::move(path)) {}

    QString path() const override { return path_; }
    bool open() override
    {
        std::lock_guard lock(camera_->mutex);
        camera_->opened.push_back(std::chrono::steady_clock::now());
        return open_ = camera_->plugged;
    }
    void close() override { open_ = false, streamSize_ = QSize(); }
    int control(unsigned long request, void* argument) override
    {
        std::lock_guard lock(camera_->mutex);
        FakeCamera& camera = *camera_;
        const auto find = [&camera](uint32_t id, bool next = false) -> FakeCamera::Control* {
            for (FakeCamera::Control& entry : camera.controls)
                if (next ? entry.query.id > id : entry.query.id == id)
                    return &entry;
            return nullptr;
        };
        if (!open_ || !camera.plugged)
            return errno = ENODEV, -1;
        errno = EINVAL;  // every refusal below but a value out of range
        switch (request) {
        case VIDIOC_QUERYCAP: {
            auto* caps = static_cast<v4l2_capability*>(argument);
            *caps = {};
            std::strncpy(reinterpret_cast<char*>(caps->card), camera.card.c_str(), sizeof caps->card - 1);
            // The whole device's: a metadata node of a webcam has its capture node's too.
            caps->capabilities = camera.deviceCaps | V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_DEVICE_CAPS;
            caps->device_caps = camera.deviceCaps;
            return 0;
        }
        case VIDIOC_ENUM_FMT: {
            auto* description = static_cast<v4l2_fmtdesc*>(argument);
            if (description->index >= camera.formats.size())
                return -1;
            description->pixelformat = camera.formats[description->index];
            return 0;
        }
        case VIDIOC_ENUM_FRAMESIZES: {
            auto* size = static_cast<v4l2_frmsizeenum*>(argument);
            if (size->index >= (camera.range ? 1 : camera.sizes.size()))
                return -1;
            size->type = camera.range ? V4L2_FRMSIZE_TYPE_STEPWISE : V4L2_FRMSIZE_TYPE_DISCRETE;
            if (camera.range)
                size->stepwise = *camera.range;
            else
                size->discrete = camera.sizes[size->index];
            return 0;
        }
        case VIDIOC_G_FMT:
            static_cast<v4l2_format*>(argument)->fmt.pix.width = camera.current.width;
            static_cast<v4l2_format*>(argument)->fmt.pix.height = camera.current.height;
            return 0;
        case VIDIOC_QUERYCTRL: {
            auto* query = static_cast<v4l2_queryctrl*>(argument);
            FakeCamera::Control* entry = find(query->id & ~V4L2_CTRL_FLAG_NEXT_CTRL, query->id & V4L2_CTRL_FLAG_NEXT_CTRL);
            return entry ? (*query = entry->query, 0) : -1;
        }
        case VIDIOC_QUERYMENU: {
            auto* item = static_cast<v4l2_querymenu*>(argument);
            FakeCamera::Control* entry = find(item->id);
            if (!entry || item->index >= entry->menu.size())
                return -1;
            std::strncpy(reinterpret_cast<char*>(item->name), entry->menu[item->index], sizeof item->name - 1);
            return 0;
        }
        case VIDIOC_G_CTRL:
        case VIDIOC_S_CTRL: {
            auto* value = static_cast<v4l2_control*>(argument);
            FakeCamera::Control* entry = find(value->id);
            if (entry && request == VIDIOC_G_CTRL)
                value->value = entry->value;
            else if (entry && value->value >= entry->query.minimum && value->value <= entry->query.maximum)
                entry->value = value->value;
            else
                return errno = entry ? ERANGE : EINVAL, -1;
            return 0;
        }
        default:
            return errno = ENOTTY, -1;
        }
    }
    bool startStream(QSize size, uint32_t pixelFormat) override
    {
        streamSize_ = size;
        camera_->streamed = pixelFormat;
        return camera_->plugged;
    }
    void stopStream() override { streamSize_ = QSize(); }
    std::shared_ptr<const CameraFrame> readFrame() override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the device's own frame period
        if (camera_->stalled)
            for (++camera_->stalledReads; camera_->stalled;)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!camera_->plugged || streamSize_.isEmpty())
            return nullptr;
        QImage frame(streamSize_, QImage::Format_RGB32);
        frame.fill(qRgb(10, 20, 30));
        return std::make_shared<PictureFrame>(frame);
    }

private:
    std::shared_ptr<FakeCamera> camera_;
    QString path_;
    bool open_ = false;
    QSize streamSize_;
};

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
    auto unplugged = std::make_shared<FakeCamera>();
    unplugged->plugged = false;
    const std::map<QString, std::shared_ptr<FakeCamera>> nodes = {{"/dev/video0", std::make_shared<FakeCamera>("USB2.0 HD UVC WebCam")},
                                                                  {"/dev/video1", metadata},
                                                                  {"/dev/video2", std::make_shared<FakeCamera>("Second Camera")},
                                                                  {"/dev/video3", unplugged}};
    const std::vector<DriverEntry> cameras =
        v4l2Cameras({"/dev/video0", "/dev/video1", "/dev/video2", "/dev/video3"},
                    [&](const QString& path) { return std::make_unique<FakeV4l2Node>(nodes.at(path), path); });
    ASSERT_EQ(cameras.size(), 2u);
    EXPECT_EQ(cameras[0].name, QStringLiteral("USB2.0 HD UVC WebCam"));
    EXPECT_EQ(cameras[1].name, QStringLiteral("Second Camera"));
}

TEST(V4l2Driver, OffersTheCommonSizesPrefersMjpegKeepsTheDeviceSizeAndChangesControls)
{
    auto camera = std::make_shared<FakeCamera>();
    std::unique_ptr<V4l2Driver> driver = openDriver(camera);
    EXPECT_EQ(driver->frameSizes(), std::vector<QSize>({{160, 120}, {320, 240}, {640, 480}}));
    EXPECT_EQ(driver->frameSize(), QSize(320, 240));
    EXPECT_FALSE(driver->setFrameSize(QSize(800, 600)));
    ASSERT_TRUE(driver->setFrameSize(QSize(640, 480)));
    std::optional<DriverFrame> frame = driver->readFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->frame->size(), QSize(640, 480));
    EXPECT_EQ(camera->streamed, V4L2_PIX_FMT_MJPEG) << "MJPEG, listed second, is read where it is offered";

    // A range of sizes offers the common sizes inside; a device size outside is not offered.
    camera->range = v4l2_frmsize_stepwise{160, 640, 16, 120, 480, 8};
    camera->current = {1000, 1000};
    camera->formats = {V4L2_PIX_FMT_NV12, V4L2_PIX_FMT_YUYV};
    std::unique_ptr<V4l2Driver> ranged = openDriver(camera);
    EXPECT_EQ(ranged->frameSizes(), std::vector<QSize>({{160, 120}, {176, 144}, {320, 240}, {352, 288}, {640, 480}}));
    EXPECT_EQ(ranged->frameSize(), QSize(640, 480));
    ASSERT_TRUE(ranged->readFrame());
    EXPECT_EQ(camera->streamed, V4L2_PIX_FMT_YUYV) << "else YUYV";

    std::vector<CaptureControl> controls = driver->controls();
    ASSERT_EQ(controls.size(), 2u);  // the disabled, read-only and inactive ones are left out
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
    auto camera = std::make_shared<FakeCamera>();
    setDriverEnumerator([camera] {
        return v4l2Cameras({"/dev/video0"},
                           [camera](const QString& path) { return std::make_unique<FakeV4l2Node>(camera, path); });
    });
    CaptureWindow window;
    FrameDetector detector;
    bool skipCompare = false;
    EXPECT_FALSE(detector.sDetectFrame(&window, skipCompare)) << "no camera, no tick";
    EXPECT_FALSE(detector.sDetectFrame(nullptr, skipCompare));
    ASSERT_TRUE(capDriverConnect(&window, 0));
    // Whether the tick after a new frame compared; a tick must come.
    const auto comparesANewFrame = [&] {
        uint64_t number = 0;
        window.latestFrame(&number);
        EXPECT_TRUE(window.waitForFrameAfter(number, 5s));
        const std::optional<DetectionResult> tick = detector.sDetectFrame(&window, skipCompare);
        EXPECT_TRUE(tick);
        return tick && tick->compared;
    };
    EXPECT_FALSE(comparesANewFrame()) << "the first frame is the reference";
    EXPECT_TRUE(comparesANewFrame());
    EXPECT_TRUE(window.previewing()) << "the tick's grab stopped the live picture, the tick brings it back";

    camera->stalled = true;
    ASSERT_TRUE(waitUntil([&] { return camera->stalledReads > 0; }, 10s));
    detector.sDetectFrame(&window, skipCompare);  // takes whatever came before the stall
    EXPECT_FALSE(detector.sDetectFrame(&window, skipCompare)) << "nothing new while the camera is stalled";
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
    EXPECT_FALSE(detector.sDetectFrame(&window, skipCompare)) << "nothing while it is lost";
    // Lost, it is opened again every 300 ms.
    const auto opened = [&] {
        std::lock_guard lock(camera->mutex);
        return camera->opened;
    };
    const size_t before = opened().size();
    ASSERT_TRUE(waitUntil([&] { return opened().size() >= before + 3; }, 10s));
    const auto tries = opened();
    auto shortest = std::chrono::steady_clock::duration::max();
    for (size_t i = before + 1; i < tries.size(); ++i)
        shortest = std::min(shortest, tries[i] - tries[i - 1]);
    EXPECT_GE(shortest, 290ms);
    EXPECT_LT(shortest, 450ms);
    camera->plugged = true;
    EXPECT_FALSE(comparesANewFrame()) << "back after a loss: a new reference";
    EXPECT_TRUE(comparesANewFrame());
    EXPECT_EQ(window.latestFrame().size(), QSize(640, 480)) << "the size chosen survives";
    EXPECT_TRUE(capGrabFrame(&window));
    setDriverEnumerator({});
}

}  // namespace
