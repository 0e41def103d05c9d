#include "capture/FrameReader.h"

FrameReader::FrameReader(std::unique_ptr<CaptureDriver> openedDriver)
    : driver_(std::move(openedDriver)), thread_([this] { run(); })
{
}

FrameReader::~FrameReader()
{
    {
        std::lock_guard lock(frameMutex_);
        stop_ = true;
    }
    frameChanged_.notify_all();
    thread_.join();
    driver_->close();
}

QImage FrameReader::latest(uint64_t* number) const
{
    std::lock_guard lock(frameMutex_);
    if (number)
        *number = number_;
    return latest_;
}

bool FrameReader::waitForFrameAfter(uint64_t after, std::chrono::milliseconds timeout, QImage* frame,
                                    uint64_t* number) const
{
    std::unique_lock lock(frameMutex_);
    const bool arrived = frameChanged_.wait_for(lock, timeout, [&] { return stop_ || (number_ > after && !latest_.isNull()); });
    if (!arrived || stop_)
        return false;
    if (frame)
        *frame = latest_;
    if (number)
        *number = number_;
    return true;
}

void FrameReader::dropLatest()
{
    std::lock_guard lock(frameMutex_);
    latest_ = QImage();
    ++generation_;
}

uint64_t FrameReader::generation() const
{
    std::lock_guard lock(frameMutex_);
    return generation_;
}

void FrameReader::publish(const QImage& frame, uint64_t generation)
{
    {
        std::lock_guard lock(frameMutex_);
        if (generation != generation_)
            return;
        latest_ = frame;
        if (!frame.isNull())
            ++number_;
    }
    frameChanged_.notify_all();
}

bool FrameReader::stopRequestedBy(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(frameMutex_);
    return frameChanged_.wait_until(lock, deadline, [this] { return stop_; });
}

void FrameReader::run()
{
    using Clock = std::chrono::steady_clock;
    bool sourceOpen = true;
    Clock::time_point due = Clock::now();
    for (;;) {
        if (!sourceOpen) {
            if (stopRequestedBy(Clock::now() + kReopenDelay))
                return;
            sourceOpen = withDriver([](CaptureDriver& driver) { return driver.open(); });
            due = Clock::now();
            continue;
        }
        const uint64_t readGeneration = generation();
        std::optional<DriverFrame> frame = withDriver([](CaptureDriver& driver) { return driver.readFrame(); });
        if (!frame || frame->image.isNull()) {
            publish(QImage(), readGeneration);
            withDriver([](CaptureDriver& driver) { driver.close(); });
            sourceOpen = false;
            continue;
        }
        // Pace sources that deliver faster than real time; never try to catch up on a stall.
        due = std::max(due + frame->interval, Clock::now() - frame->interval);
        if (stopRequestedBy(due))
            return;
        if (frame->image.format() != QImage::Format_RGB32)
            frame->image = frame->image.convertToFormat(QImage::Format_RGB32);
        publish(frame->image, readGeneration);
    }
}
