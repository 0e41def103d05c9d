#pragma once

#include "capture/FrameReader.h"

#include <QByteArray>

#include <memory>
#include <mutex>

class CaptureWindow;
class CameraFrame;

// One JPEG of the live picture. `bytes` may point into `frame`'s memory: use
// them only while this object lives, never keep a copy of the QByteArray alone.
struct LiveJpegFrame {
    std::shared_ptr<const CameraFrame> frame;
    QByteArray bytes;
    FrameStamp stamp;
};

// The camera's newest frame as a JPEG, for every viewer: an MJPEG camera's
// frame as it came, any other encoded once, by the first viewer who asks for
// it. Never touches the watcher's thread. Safe from any thread.
class LiveJpeg {
public:
    static constexpr int kQuality = 80;

    explicit LiveJpeg(const CaptureWindow& camera) : camera_(camera) {}

    // Null while the camera delivers no frame.
    std::shared_ptr<const LiveJpegFrame> newest();
    // Waits up to `timeout` for a frame after `stamp`'s.
    void waitForFrameAfter(const FrameStamp& stamp, std::chrono::milliseconds timeout) const;

private:
    const CaptureWindow& camera_;
    std::mutex mutex_;
    std::shared_ptr<const LiveJpegFrame> made_;
};
