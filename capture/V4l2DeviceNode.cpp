#include "capture/V4l2DeviceNode.h"

#include <linux/videodev2.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// libavdevice's name for a V4L2 pixel format; empty lets it choose.
std::string inputFormatName(uint32_t pixelFormat)
{
    switch (pixelFormat) {
    case V4L2_PIX_FMT_MJPEG:
        return "mjpeg";
    case V4L2_PIX_FMT_H264:
        return "h264";
    case V4L2_PIX_FMT_YUYV:
        return "yuyv422";
    case V4L2_PIX_FMT_YUV420:
        return "yuv420p";
    case V4L2_PIX_FMT_NV12:
        return "nv12";
    case V4L2_PIX_FMT_RGB24:
        return "rgb24";
    case V4L2_PIX_FMT_BGR24:
        return "bgr24";
    default:
        return {};
    }
}

}  // namespace

V4l2DeviceNode::V4l2DeviceNode(QString path) : path_(std::move(path)) {}

V4l2DeviceNode::~V4l2DeviceNode()
{
    close();
}

QString V4l2DeviceNode::path() const
{
    return path_;
}

bool V4l2DeviceNode::open()
{
    close();
    descriptor_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    return descriptor_ >= 0;
}

void V4l2DeviceNode::close()
{
    stopStream();
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
}

int V4l2DeviceNode::control(unsigned long request, void* argument)
{
    if (descriptor_ < 0) {
        errno = EBADF;
        return -1;
    }
    int result;
    do
        result = ::ioctl(descriptor_, request, argument);
    while (result == -1 && errno == EINTR);
    return result;
}

bool V4l2DeviceNode::startStream(QSize size, uint32_t pixelFormat)
{
    std::map<std::string, std::string> options = {
        {"video_size", std::to_string(size.width()) + "x" + std::to_string(size.height())}};
    const std::string format = inputFormatName(pixelFormat);
    if (!format.empty())
        options["input_format"] = format;
    return stream_.open(path_, "video4linux2", options);
}

void V4l2DeviceNode::stopStream()
{
    stream_.close();
}

std::shared_ptr<const CameraFrame> V4l2DeviceNode::readFrame()
{
    std::shared_ptr<const CameraFrame> frame;
    return stream_.read(frame) == AvVideoInput::Read::Frame ? frame : nullptr;
}
