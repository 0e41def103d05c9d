#include "capture/V4l2Driver.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Sizes offered from a stepwise or continuous range.
const QSize kCommonSizes[] = {{160, 120}, {176, 144}, {320, 240}, {352, 288}, {640, 480},
                              {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};

// Preferred pixel formats: MJPEG reaches every size at full rate on USB cameras.
const uint32_t kPreferredFormats[] = {V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_YUYV};

constexpr QSize kDefaultSize{640, 480};

bool fitsStepwise(QSize size, const v4l2_frmsize_stepwise& range)
{
    const auto fits = [](uint32_t value, uint32_t minimum, uint32_t maximum, uint32_t step) {
        return value >= minimum && value <= maximum && (step == 0 || (value - minimum) % step == 0);
    };
    return fits(static_cast<uint32_t>(size.width()), range.min_width, range.max_width, range.step_width) &&
           fits(static_cast<uint32_t>(size.height()), range.min_height, range.max_height, range.step_height);
}

QString fixedText(const uint8_t* text, size_t capacity)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(text), static_cast<qsizetype>(strnlen(reinterpret_cast<const char*>(text), capacity))).trimmed();
}

}  // namespace

V4l2Driver::V4l2Driver(std::unique_ptr<V4l2Node> node) : node_(std::move(node)) {}

QString V4l2Driver::captureDeviceName(V4l2Node& node)
{
    if (!node.open())
        return {};
    v4l2_capability capability{};
    QString name;
    if (node.control(VIDIOC_QUERYCAP, &capability) == 0) {
        const uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps
                                                                                : capability.capabilities;
        if ((caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING))
            name = fixedText(capability.card, sizeof capability.card);
    }
    node.close();
    return name;
}

bool V4l2Driver::open()
{
    std::lock_guard lock(mutex_);
    if (captureDeviceName(*node_).isEmpty() || !node_->open())
        return false;
    pixelFormat_ = choosePixelFormat();
    sizes_ = enumerateSizes(pixelFormat_);
    if (sizes_.empty()) {
        node_->close();
        return false;
    }
    const auto offered = [this](QSize size) { return std::find(sizes_.begin(), sizes_.end(), size) != sizes_.end(); };
    // Keep the size chosen before (a camera that came back), else the device's own.
    if (!offered(size_))
        size_ = currentDeviceSize();
    if (!offered(size_))
        size_ = offered(kDefaultSize) ? kDefaultSize : sizes_.front();
    streaming_ = false;
    return true;
}

void V4l2Driver::close()
{
    std::lock_guard lock(mutex_);
    node_->close();
    streaming_ = false;
    restartStream_ = false;
}

uint32_t V4l2Driver::choosePixelFormat()
{
    std::vector<uint32_t> formats;
    v4l2_fmtdesc description{};
    description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    for (description.index = 0; node_->control(VIDIOC_ENUM_FMT, &description) == 0; ++description.index)
        formats.push_back(description.pixelformat);
    for (uint32_t preferred : kPreferredFormats) {
        if (std::find(formats.begin(), formats.end(), preferred) != formats.end())
            return preferred;
    }
    return formats.empty() ? 0 : formats.front();
}

std::vector<QSize> V4l2Driver::enumerateSizes(uint32_t pixelFormat)
{
    std::vector<QSize> sizes;
    v4l2_frmsizeenum frameSize{};
    frameSize.pixel_format = pixelFormat;
    for (frameSize.index = 0; node_->control(VIDIOC_ENUM_FRAMESIZES, &frameSize) == 0; ++frameSize.index) {
        if (frameSize.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            sizes.emplace_back(static_cast<int>(frameSize.discrete.width), static_cast<int>(frameSize.discrete.height));
            continue;
        }
        for (QSize common : kCommonSizes) {
            if (fitsStepwise(common, frameSize.stepwise))
                sizes.push_back(common);
        }
        break;  // a range is the only entry
    }
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) {
        return std::pair(a.width() * a.height(), a.width()) < std::pair(b.width() * b.height(), b.width());
    });
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

QSize V4l2Driver::currentDeviceSize()
{
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (node_->control(VIDIOC_G_FMT, &format) != 0)
        return {};
    return {static_cast<int>(format.fmt.pix.width), static_cast<int>(format.fmt.pix.height)};
}

std::vector<QSize> V4l2Driver::frameSizes() const
{
    std::lock_guard lock(mutex_);
    return sizes_;
}

QSize V4l2Driver::frameSize() const
{
    std::lock_guard lock(mutex_);
    return size_;
}

bool V4l2Driver::setFrameSize(QSize size)
{
    std::lock_guard lock(mutex_);
    if (std::find(sizes_.begin(), sizes_.end(), size) == sizes_.end())
        return false;
    if (size != size_) {
        size_ = size;
        restartStream_ = true;
    }
    return true;
}

std::vector<CaptureControl> V4l2Driver::controls() const
{
    std::lock_guard lock(mutex_);
    std::vector<CaptureControl> result;
    v4l2_queryctrl query{};
    query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (node_->control(VIDIOC_QUERYCTRL, &query) == 0) {
        const uint32_t id = query.id;
        query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        if (query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_INACTIVE))
            continue;
        CaptureControl control;
        switch (query.type) {
        case V4L2_CTRL_TYPE_INTEGER:
            control.kind = CaptureControl::Kind::Integer;
            break;
        case V4L2_CTRL_TYPE_BOOLEAN:
            control.kind = CaptureControl::Kind::Boolean;
            break;
        case V4L2_CTRL_TYPE_MENU:
            control.kind = CaptureControl::Kind::Menu;
            break;
        default:
            continue;  // buttons, strings, compound controls: nothing to adjust here
        }
        control.id = id;
        control.name = fixedText(query.name, sizeof query.name);
        control.minimum = query.minimum;
        control.maximum = query.maximum;
        control.step = std::max(1, query.step);
        control.defaultValue = query.default_value;
        v4l2_control current{id, 0};
        control.value = node_->control(VIDIOC_G_CTRL, &current) == 0 ? current.value : query.default_value;
        if (control.kind == CaptureControl::Kind::Menu) {
            for (int value = query.minimum; value <= query.maximum; ++value) {
                v4l2_querymenu item{};
                item.id = id;
                item.index = static_cast<uint32_t>(value);
                control.menuItems.push_back(node_->control(VIDIOC_QUERYMENU, &item) == 0
                                                ? fixedText(item.name, sizeof item.name)
                                                : QString());
            }
        }
        result.push_back(control);
    }
    return result;
}

bool V4l2Driver::setControl(uint32_t id, int value)
{
    std::lock_guard lock(mutex_);
    v4l2_control control{id, value};
    return node_->control(VIDIOC_S_CTRL, &control) == 0;
}

std::optional<DriverFrame> V4l2Driver::readFrame()
{
    QSize size;
    uint32_t pixelFormat = 0;
    bool restart = false;
    {
        std::lock_guard lock(mutex_);
        size = size_;
        pixelFormat = pixelFormat_;
        restart = std::exchange(restartStream_, false);
    }
    if (restart && streaming_) {
        node_->stopStream();
        streaming_ = false;
    }
    if (!streaming_ && !(streaming_ = node_->startStream(size, pixelFormat)))
        return std::nullopt;
    std::shared_ptr<const CameraFrame> frame = node_->readFrame();
    if (!frame)
        return std::nullopt;
    std::lock_guard lock(mutex_);
    if (!restartStream_)
        size_ = frame->size();  // what the device actually delivers
    return DriverFrame{std::move(frame), std::chrono::microseconds(0)};
}
