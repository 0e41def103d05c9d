#include "capture/FrameReader.h"

#include "capture/PreEventBuffer.h"

#include <atomic>

namespace {

std::atomic<uint64_t> lastReaderId{0};

}  // namespace

FrameReader::FrameReader(std::unique_ptr<CaptureDriver> driver, bool opened)
    : driver_(std::move(driver)), id_(++lastReaderId), startsOpen_(opened), opening_(opened ? 1 : 0),
      lost_(!opened), thread_([this] { run(); })
{
}

FrameReader::~FrameReader()
{
    {
        std::lock_guard lock(frameMutex_);
        stop_ = true;
    }
    frameChanged_.notify_all();
    driver_->interrupt();
    thread_.join();
    driver_->close();
}

FrameReader::Latest FrameReader::latest() const
{
    std::lock_guard lock(frameMutex_);
    return latest_;
}

bool FrameReader::waitForFrameAfter(uint64_t after, std::chrono::milliseconds timeout, uint64_t* number) const
{
    std::unique_lock lock(frameMutex_);
    const bool arrived = frameChanged_.wait_for(lock, timeout, [&] { return stop_ || (latest_.stamp.number > after && latest_.frame); });
    if (!arrived || stop_)
        return false;
    if (number)
        *number = latest_.stamp.number;
    return true;
}

void FrameReader::dropLatest()
{
    std::lock_guard lock(frameMutex_);
    latest_.frame.reset();
    ++generation_;
}

uint64_t FrameReader::generation() const
{
    std::lock_guard lock(frameMutex_);
    return generation_;
}

bool FrameReader::sourceLost() const
{
    std::lock_guard lock(frameMutex_);
    return lost_;
}

void FrameReader::keepRecentFrames(std::shared_ptr<PreEventBuffer> buffer)
{
    std::lock_guard lock(frameMutex_);
    recentFrames_ = std::move(buffer);
}

void FrameReader::publish(std::shared_ptr<const CameraFrame> frame, uint64_t generation)
{
    const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    std::shared_ptr<PreEventBuffer> recentFrames;
    {
        std::lock_guard lock(frameMutex_);
        // Only a failed read publishes no frame.
        lost_ = !frame;
        if (generation != generation_)
            return;
        if (frame)
            latest_.stamp = {++published_, id_, opening_, now};
        latest_.frame = frame;
        recentFrames = recentFrames_;
    }
    frameChanged_.notify_all();
    // Kept outside the lock: encoding a frame must not hold up those who read the latest.
    if (frame && recentFrames)
        recentFrames->keep(*frame, now);
}

void FrameReader::countOpening()
{
    std::lock_guard lock(frameMutex_);
    ++opening_;
}

bool FrameReader::stopRequestedBy(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(frameMutex_);
    return frameChanged_.wait_until(lock, deadline, [this] { return stop_; });
}

void FrameReader::run()
{
    using Clock = std::chrono::steady_clock;
    bool sourceOpen = startsOpen_;
    Clock::time_point due = Clock::now();
    for (;;) {
        if (!sourceOpen) {
            if (stopRequestedBy(Clock::now() + driver_->reopenDelay()))
                return;
            if ((sourceOpen = driver_->open()))
                countOpening();
            due = Clock::now();
            continue;
        }
        const uint64_t readGeneration = generation();
        std::optional<DriverFrame> frame = driver_->readFrame();
        if (!frame || !frame->frame) {
            publish(nullptr, readGeneration);
            driver_->close();
            sourceOpen = false;
            continue;
        }
        // Pace sources that deliver faster than real time; never try to catch up on a stall.
        due = std::max(due + frame->interval, Clock::now() - frame->interval);
        if (stopRequestedBy(due))
            return;
        publish(std::move(frame->frame), readGeneration);
    }
}
