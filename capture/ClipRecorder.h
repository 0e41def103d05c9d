#pragma once

#include "capture/ClipCodecs.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

// What one clip is made of.
struct ClipRecording {
    QString path;                                  // the AVI file written
    QSize frameSize;                               // size of the clip's pictures
    std::chrono::microseconds framePeriod{33333};  // 30 frames a second
    std::chrono::milliseconds timeLimit{5000};
    bool captureAudio = false;  // from PulseAudio, else ALSA; none without a device
    ClipCompression compression;
};

// How a clip came out.
struct ClipOutcome {
    bool written = false;  // a playable file is at the path
    int64_t frames = 0;
    bool hasAudio = false;
    QString error;  // why nothing (or not all) was written
};

class ClipMuxer;

// Records a clip on a thread of its own: every frame period it encodes the
// newest picture of the source, so pictures are repeated or dropped to keep
// the clip in real time, until the time limit or stop().
class ClipRecorder {
public:
    // The newest camera picture, called from the recording thread; a null image
    // repeats the previous picture (black at first).
    using FrameSource = std::function<QImage()>;

    ClipRecorder(ClipRecording recording, FrameSource source);
    ~ClipRecorder();  // stops and waits
    ClipRecorder(const ClipRecorder&) = delete;
    ClipRecorder& operator=(const ClipRecorder&) = delete;

    // Opens the file and starts recording; false (with outcome().error) when it cannot.
    bool start();
    // Ends the clip early; safe from any thread.
    void stop();
    bool finished() const;
    // Waits for the recording thread; the outcome is final afterwards.
    void wait();
    const ClipOutcome& outcome() const;

private:
    void run();

    ClipRecording recording_;
    FrameSource source_;
    std::unique_ptr<ClipMuxer> muxer_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> finished_{false};
    ClipOutcome outcome_;
    std::thread thread_;
};
