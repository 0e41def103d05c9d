#pragma once

#include <QByteArray>
#include <QSize>

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

class CameraFrame;

// One frame kept for pre-event recording: compressed, with the time the reader
// published it.
struct KeptFrame {
    std::chrono::steady_clock::time_point time;
    QByteArray jpeg;  // its own copy: never points into a device's buffer
    QSize size;
};

// The camera's recent frames, kept compressed so that a clip can begin before
// the alarm that starts it. An MJPEG camera's frames are kept as they came
// (copied); other frames are encoded to JPEG, at most one per encode period
// because encoding costs more than copying. Bound by its length (plus a margin
// that gives the alarm's tick time to start the clip) and by a memory cap;
// the oldest frames go first. keep() runs on the reader's thread, the rest on
// any thread.
class PreEventBuffer {
public:
    static constexpr qsizetype kMemoryCap = qsizetype{64} << 20;
    // Frames that must be encoded are kept at 10 a second: a third of what a
    // 30-frame clip could take, at about a third of the cost.
    static constexpr std::chrono::milliseconds kEncodePeriod{100};
    static constexpr std::chrono::milliseconds kMargin{1000};
    static constexpr int kQuality = 85;

    explicit PreEventBuffer(std::chrono::milliseconds length, qsizetype memoryCap = kMemoryCap,
                            std::chrono::milliseconds encodePeriod = kEncodePeriod);
    PreEventBuffer(const PreEventBuffer&) = delete;
    PreEventBuffer& operator=(const PreEventBuffer&) = delete;

    std::chrono::milliseconds length() const { return length_; }
    // Keeps `frame`, published at `time` (times never go back).
    void keep(const CameraFrame& frame, std::chrono::steady_clock::time_point time);
    // The frames published after `after`, oldest first.
    std::vector<KeptFrame> framesAfter(std::chrono::steady_clock::time_point after) const;
    // Forgets every frame (another camera, another size).
    void clear();
    qsizetype bytes() const;

private:
    void dropOldLocked();

    const std::chrono::milliseconds length_;
    const qsizetype memoryCap_;
    const std::chrono::milliseconds encodePeriod_;
    mutable std::mutex mutex_;
    std::deque<KeptFrame> frames_;
    qsizetype bytes_ = 0;
    int64_t lastEncodedSlot_ = -1;
};
