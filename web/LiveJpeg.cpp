#include "web/LiveJpeg.h"

#include "capture/CameraFrame.h"
#include "capture/CaptureWindow.h"
#include "capture/FrameJpeg.h"

std::shared_ptr<const LiveJpegFrame> LiveJpeg::newest()
{
    FrameStamp stamp;
    std::shared_ptr<const CameraFrame> frame = camera_.latestCameraFrame(&stamp);
    if (frame == nullptr)
        return nullptr;
    // Viewers asking at once wait for the one encoding rather than each making its own.
    const std::lock_guard lock(mutex_);
    if (made_ != nullptr && made_->stamp == stamp)
        return made_;
    const QByteArrayView jpeg = frame->jpegBytes();
    QByteArray bytes = jpeg.isEmpty() ? encodeFrameJpeg(frame->picture(), kQuality)
                                      : QByteArray::fromRawData(jpeg.data(), jpeg.size());
    if (bytes.isEmpty())
        return made_;
    made_ = std::make_shared<const LiveJpegFrame>(LiveJpegFrame{std::move(frame), std::move(bytes), stamp});
    return made_;
}

void LiveJpeg::waitForFrameAfter(const FrameStamp& stamp, std::chrono::milliseconds timeout) const
{
    camera_.waitForFrameAfter(stamp.number, timeout);
}
