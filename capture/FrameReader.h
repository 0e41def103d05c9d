#pragma once

#include "capture/CaptureDriver.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class PreEventBuffer;

// Which frame a reader published.
struct FrameStamp {
    uint64_t number = 0;   // one more for every frame of the reader, from 1
    uint64_t reader = 0;   // the reader (one per connection of a driver), unique in the program
    uint64_t opening = 0;  // how often that reader had opened its source: grows when a lost source comes back
    std::chrono::steady_clock::time_point time;  // when the reader published it

    friend bool operator==(const FrameStamp&, const FrameStamp&) = default;
};

// Reads an opened driver on its own thread and keeps the latest frame, so that
// reading the device never blocks the window. Frames are kept as the driver
// delivers them and decoded only by whoever uses them (CameraFrame). A source
// that is lost (read fails) is closed and opened again every reopenDelay() of
// its driver until it comes back; meanwhile there is no latest frame.
//
// Every frame passes through publish() on the reader's thread, in order: the
// place for anything that must see each frame (a store of recent frames).
class FrameReader {
public:
    struct Latest {
        std::shared_ptr<const CameraFrame> frame;  // null while the source is lost
        FrameStamp stamp;
    };

    // `opened` tells whether the driver's source is open; when not, the reader
    // tries to open it as it would a lost one.
    FrameReader(std::unique_ptr<CaptureDriver> driver, bool opened);
    // Stops and joins the thread (interrupting a read in progress), then closes the driver.
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    Latest latest() const;
    // Waits up to `timeout` for a frame numbered above `after`.
    bool waitForFrameAfter(uint64_t after, std::chrono::milliseconds timeout, uint64_t* number) const;
    // Forgets the latest frame and any frame read before this call (their size is
    // no longer the one being delivered).
    void dropLatest();
    // True from a failed read (or a source absent at the start) until it delivers again.
    bool sourceLost() const;
    // Every frame published from now on is also kept in `buffer` (null: none).
    void keepRecentFrames(std::shared_ptr<PreEventBuffer> buffer);

    // For the window's thread: the driver's controls and sizes, which never wait
    // for the reader (see CaptureDriver).
    CaptureDriver& driver() { return *driver_; }

private:
    void run();
    uint64_t generation() const;
    // Publishes `frame` unless dropLatest() was called since `generation` was taken.
    void publish(std::shared_ptr<const CameraFrame> frame, uint64_t generation);
    void countOpening();
    // Waits until `deadline` or until stopped; true when stopped.
    bool stopRequestedBy(std::chrono::steady_clock::time_point deadline);

    std::unique_ptr<CaptureDriver> driver_;
    const uint64_t id_;
    const bool startsOpen_;

    mutable std::mutex frameMutex_;
    mutable std::condition_variable frameChanged_;
    Latest latest_;
    uint64_t published_ = 0;
    uint64_t opening_ = 0;
    uint64_t generation_ = 0;
    std::shared_ptr<PreEventBuffer> recentFrames_;
    bool lost_ = false;
    bool stop_ = false;

    std::thread thread_;
};
