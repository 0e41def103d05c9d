#include "capture/ClipRecorder.h"

#include "capture/ClipMuxer.h"

#include <QFile>

#include <thread>

ClipRecorder::ClipRecorder(ClipRecording recording, FrameSource source)
    : recording_(std::move(recording)), source_(std::move(source))
{
}

ClipRecorder::~ClipRecorder()
{
    stop();
    wait();
}

bool ClipRecorder::start()
{
    const bool existed = QFile::exists(recording_.path);
    muxer_ = ClipMuxer::open(recording_, outcome_.error);
    if (!muxer_) {
        // The file may have been made before its header failed (a full disk).
        if (!existed)
            QFile::remove(recording_.path);
        finished_ = true;
        return false;
    }
    outcome_.hasAudio = muxer_->hasAudio();
    thread_ = std::thread([this] { run(); });
    return true;
}

void ClipRecorder::stop()
{
    stopRequested_ = true;
}

bool ClipRecorder::finished() const
{
    return finished_;
}

void ClipRecorder::wait()
{
    if (thread_.joinable())
        thread_.join();
}

const ClipOutcome& ClipRecorder::outcome() const
{
    return outcome_;
}

// Frame n is due n periods after the start: the newest picture at that moment
// is encoded, whether the camera delivered none, one or several since.
void ClipRecorder::run()
{
    using Clock = std::chrono::steady_clock;
    const int64_t frameCount = recording_.timeLimit / recording_.framePeriod;
    QImage picture(recording_.frameSize.expandedTo(QSize(2, 2)), QImage::Format_RGB32);
    picture.fill(Qt::black);

    muxer_->startAudio();
    const Clock::time_point start = Clock::now();
    bool writing = true;
    // The clip covers its whole time: the last picture's period is waited out too.
    for (int64_t index = 0; writing && index <= frameCount && !stopRequested_; ++index) {
        std::this_thread::sleep_until(start + index * recording_.framePeriod);
        if (index == frameCount)
            break;
        if (const QImage newest = source_(); !newest.isNull())
            picture = newest;
        writing = muxer_->writePicture(picture, index);
        outcome_.frames += writing ? 1 : 0;
    }
    const bool whole = muxer_->finish();
    outcome_.written = whole && outcome_.frames > 0;
    outcome_.error = muxer_->error();
    muxer_.reset();
    // Half a clip (the disk filled up, the encoder failed) is no clip.
    if (!outcome_.written)
        QFile::remove(recording_.path);
    finished_ = true;
}
