#include "capture/PreEventBuffer.h"

#include "capture/CameraFrame.h"
#include "capture/FrameJpeg.h"

PreEventBuffer::PreEventBuffer(std::chrono::milliseconds length, qsizetype memoryCap,
                               std::chrono::milliseconds encodePeriod)
    : length_(length), memoryCap_(memoryCap), encodePeriod_(encodePeriod)
{
}

void PreEventBuffer::keep(const CameraFrame& frame, std::chrono::steady_clock::time_point time)
{
    KeptFrame kept{time, {}, frame.size()};
    if (const QByteArrayView packet = frame.jpegBytes(); !packet.isEmpty()) {
        // The packet may be one of the device's buffers, soon reused: copy it.
        kept.jpeg = packet.toByteArray();
    } else {
        // One frame per encode period's slot of the clock, whatever the camera's rate.
        const int64_t slot = time.time_since_epoch() / encodePeriod_;
        {
            std::lock_guard lock(mutex_);
            if (!frames_.empty() && slot == lastEncodedSlot_)
                return;
            lastEncodedSlot_ = slot;
        }
        kept.jpeg = encodeFrameJpeg(frame.picture(), kQuality);
        if (kept.jpeg.isEmpty())
            return;
    }
    std::lock_guard lock(mutex_);
    if (kept.jpeg.size() > memoryCap_)
        return;
    bytes_ += kept.jpeg.size();
    frames_.push_back(std::move(kept));
    dropOldLocked();
}

void PreEventBuffer::dropOldLocked()
{
    const std::chrono::steady_clock::time_point oldestKept = frames_.back().time - length_ - kMargin;
    while (!frames_.empty() && (frames_.front().time < oldestKept || bytes_ > memoryCap_)) {
        bytes_ -= frames_.front().jpeg.size();
        frames_.pop_front();
    }
}

std::vector<KeptFrame> PreEventBuffer::framesAfter(std::chrono::steady_clock::time_point after) const
{
    std::lock_guard lock(mutex_);
    std::vector<KeptFrame> result;
    for (auto it = frames_.rbegin(); it != frames_.rend() && it->time > after; ++it)
        result.push_back(*it);
    return {result.rbegin(), result.rend()};
}

void PreEventBuffer::clear()
{
    std::lock_guard lock(mutex_);
    frames_.clear();
    bytes_ = 0;
}

qsizetype PreEventBuffer::bytes() const
{
    std::lock_guard lock(mutex_);
    return bytes_;
}
