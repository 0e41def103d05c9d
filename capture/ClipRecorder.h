#pragma once

#include "capture/ClipCodecs.h"
#include "capture/PreEventBuffer.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <thread>

// What one clip is made of.
struct ClipRecording {
    QString path;                                  // the AVI file, named when it is whole
    QSize frameSize;                               // size of the clip's pictures
    std::chrono::microseconds framePeriod{33333};  // 30 frames a second
    std::chrono::milliseconds timeLimit{5000};
    bool captureAudio = false;  // from PulseAudio, else ALSA; none without a device
    ClipCompression compression;
    // A clip that begins before it is started: it begins at `from` (or at the
    // oldest kept frame, when they reach less far back) and its pictures up to
    // the present are the frames kept in `earlier`.
    std::shared_ptr<const PreEventBuffer> earlier;
    std::chrono::steady_clock::time_point from;
};

// How a clip came out.
struct ClipOutcome {
    bool written = false;  // a playable file is at the path
    int64_t frames = 0;
    bool hasAudio = false;
    QString error;  // why nothing (or not all) was written
};

class ClipMuxer;
class FileInProgress;

// Records a clip on a thread of its own: every frame period it encodes the
// newest picture of the source, so pictures are repeated or dropped to keep
// the clip in real time, until the time limit, a new end (endAfter) or stop().
// A clip with earlier frames first encodes, on the same grid of frame periods,
// the newest kept frame at each period's start, as fast as it can, until it
// has caught up with the present.
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
    // The clip ends `rest` from now instead of at its time limit; safe from any thread.
    void endAfter(std::chrono::milliseconds rest);
    bool finished() const;
    // Waits for the recording thread; the outcome is final afterwards.
    void wait();
    const ClipOutcome& outcome() const;

private:
    using Clock = std::chrono::steady_clock;
    void run();
    // When the clip begins: `from`, or the oldest kept frame when they reach less far back.
    Clock::time_point firstFrameTime(Clock::time_point now);
    // The newest kept frame published by `due`, decoded; null when it is the
    // picture encoded last or there is none.
    QImage keptPicture(Clock::time_point due);
    Clock::time_point end() const;

    ClipRecording recording_;
    FrameSource source_;
    std::unique_ptr<FileInProgress> file_;  // the clip under its temporary name
    std::unique_ptr<ClipMuxer> muxer_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> finished_{false};
    static constexpr Clock::rep kNoEnd = std::numeric_limits<Clock::rep>::min();
    std::atomic<Clock::rep> end_{kNoEnd};  // since the clock's epoch
    std::deque<KeptFrame> kept_;         // the recording thread's, oldest first
    Clock::time_point keptUpTo_ = Clock::time_point::min();
    Clock::time_point shownKept_ = Clock::time_point::min();
    ClipOutcome outcome_;
    std::thread thread_;
};
