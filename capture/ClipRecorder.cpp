#include "capture/ClipRecorder.h"

#include "capture/ClipMuxer.h"
#include "capture/FrameJpeg.h"
#include "settings/AtomicFile.h"

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
    // The clip is written under a temporary name and named only when whole:
    // a kill never leaves half a clip that passes for one.
    file_ = std::make_unique<FileInProgress>(recording_.path);
    if (file_->isOpen()) {
        ClipRecording inProgress = recording_;
        inProgress.path = file_->temporaryPath();
        muxer_ = ClipMuxer::open(inProgress, outcome_.error);
    } else {
        outcome_.error = QStringLiteral("cannot create \"%1\"").arg(recording_.path);
    }
    if (!muxer_) {
        file_.reset();
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

void ClipRecorder::endAfter(std::chrono::milliseconds rest)
{
    end_ = (Clock::now() + rest).time_since_epoch().count();
}

ClipRecorder::Clock::time_point ClipRecorder::end() const
{
    return Clock::time_point(Clock::duration(end_.load()));
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

// Frame n is due n periods after the clip's beginning: the newest picture at
// that moment is encoded, whether the camera delivered none, one or several since.
void ClipRecorder::run()
{
    const Clock::time_point now = Clock::now();
    const Clock::time_point start = recording_.earlier ? firstFrameTime(now) : now;
    Clock::rep noEnd = kNoEnd;
    end_.compare_exchange_strong(noEnd, (now + recording_.timeLimit).time_since_epoch().count());
    QImage picture(recording_.frameSize.expandedTo(QSize(2, 2)), QImage::Format_RGB32);
    picture.fill(Qt::black);

    // The sound can only begin now, however far back the pictures reach.
    muxer_->startAudio(std::chrono::duration_cast<std::chrono::microseconds>(now - start));
    bool writing = true;
    // The clip covers its whole time: the last picture's period is waited out too.
    for (int64_t index = 0; writing && !stopRequested_; ++index) {
        const Clock::time_point due = start + index * recording_.framePeriod;
        std::this_thread::sleep_until(due);
        if (due + recording_.framePeriod > end())
            break;
        const bool past = recording_.earlier && due + recording_.framePeriod < Clock::now();
        if (const QImage newest = past ? keptPicture(due) : source_(); !newest.isNull())
            picture = newest;
        writing = muxer_->writePicture(picture, index);
        outcome_.frames += writing ? 1 : 0;
    }
    const bool whole = muxer_->finish();
    outcome_.error = muxer_->error();
    muxer_.reset();
    // Half a clip (the disk filled up, the encoder failed) is no clip.
    outcome_.written = whole && outcome_.frames > 0 && file_->commit();
    if (whole && outcome_.frames > 0 && !outcome_.written)
        outcome_.error = QStringLiteral("cannot name the clip \"%1\"").arg(recording_.path);
    file_.reset();
    finished_ = true;
}

ClipRecorder::Clock::time_point ClipRecorder::firstFrameTime(Clock::time_point now)
{
    for (KeptFrame& frame : recording_.earlier->framesAfter(Clock::time_point::min()))
        kept_.push_back(std::move(frame));
    if (!kept_.empty())
        keptUpTo_ = kept_.back().time;
    const Clock::time_point oldest = kept_.empty() ? now : kept_.front().time;
    return std::min(std::max(recording_.from, oldest), now);
}

QImage ClipRecorder::keptPicture(Clock::time_point due)
{
    // Frames kept since the last look, while the clip catches up with them.
    if (kept_.empty() || kept_.back().time <= due) {
        for (KeptFrame& frame : recording_.earlier->framesAfter(keptUpTo_)) {
            keptUpTo_ = frame.time;
            kept_.push_back(std::move(frame));
        }
    }
    while (kept_.size() >= 2 && kept_[1].time <= due)
        kept_.pop_front();
    if (kept_.empty() || kept_.front().time > due || kept_.front().time == shownKept_)
        return {};
    shownKept_ = kept_.front().time;
    return decodeFrameJpeg(kept_.front().jpeg);
}
