#pragma once

#include "capture/CaptureDriver.h"

#include <QImage>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

// Reads an opened driver on its own thread and keeps the latest frame, so that
// reading the device never blocks the window. A source that is lost (read fails)
// is closed and opened again every kReopenDelay until it comes back; meanwhile
// there is no latest frame.
class FrameReader {
public:
    static constexpr std::chrono::milliseconds kReopenDelay{300};

    explicit FrameReader(std::unique_ptr<CaptureDriver> openedDriver);
    // Stops and joins the thread, then closes the driver.
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // The latest frame (null while the source is lost) and its number (0 = none yet;
    // numbers only grow).
    QImage latest(uint64_t* number = nullptr) const;
    // Waits up to `timeout` for a frame numbered above `after`.
    bool waitForFrameAfter(uint64_t after, std::chrono::milliseconds timeout, QImage* frame,
                           uint64_t* number) const;
    // Forgets the latest frame and any frame read before this call (their size is
    // no longer the one being delivered).
    void dropLatest();

    // Runs `operation` on the driver while the reader is not using it.
    template <typename Operation>
    auto withDriver(Operation operation)
    {
        std::lock_guard lock(driverMutex_);
        return operation(*driver_);
    }

private:
    void run();
    uint64_t generation() const;
    // Publishes `frame` unless dropLatest() was called since `generation` was taken.
    void publish(const QImage& frame, uint64_t generation);
    // Waits until `deadline` or until stopped; true when stopped.
    bool stopRequestedBy(std::chrono::steady_clock::time_point deadline);

    std::unique_ptr<CaptureDriver> driver_;
    std::mutex driverMutex_;

    mutable std::mutex frameMutex_;
    mutable std::condition_variable frameChanged_;
    QImage latest_;
    uint64_t number_ = 0;
    uint64_t generation_ = 0;
    bool stop_ = false;

    std::thread thread_;
};
