// The capture window's clip recording: the sequence setup, the capture file,
// and a recording that blocks the caller while the window stays live.
#include "capture/CaptureWindow.h"
#include "capture/ClipRecorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {

// A recording without a time limit still ends by itself after this long.
constexpr std::chrono::minutes kLongestClip{60};
// How long the recorder may take to close the file after its last frame.
constexpr std::chrono::seconds kClosingAllowance{10};
constexpr int kPollMs = 20;

// The recording in progress, so that capCaptureStop can end it.
ClipRecorder* activeRecorder = nullptr;

// The platform's virtual-key code of the abort key as a Qt key (0 = none).
int abortKey(int virtualKey)
{
    if (virtualKey == 0x1B)
        return Qt::Key_Escape;
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return virtualKey;  // Qt's codes for digits and letters are the same
    return 0;
}

// Watches every event of the application for the abort key or mouse buttons.
class AbortWatcher : public QObject {
public:
    AbortWatcher(const CAPTUREPARMS& parms, ClipRecorder& recorder)
        : key_(abortKey(parms.vKeyAbort)), left_(parms.fAbortLeftMouse), right_(parms.fAbortRightMouse), recorder_(recorder)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && key_ != 0 && static_cast<QKeyEvent*>(event)->key() == key_) {
            recorder_.stop();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
            if ((button == Qt::LeftButton && left_) || (button == Qt::RightButton && right_)) {
                recorder_.stop();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int key_;
    bool left_;
    bool right_;
    ClipRecorder& recorder_;
};

ClipRecording recordingFor(const CaptureWindow& window)
{
    const CAPTUREPARMS parms = window.sequenceSetup();
    ClipRecording recording;
    recording.path = window.captureFile();
    recording.frameSize = window.frameSize();
    if (parms.dwRequestMicroSecPerFrame > 0)
        recording.framePeriod = std::chrono::microseconds(parms.dwRequestMicroSecPerFrame);
    recording.timeLimit = parms.fLimitEnabled ? std::chrono::milliseconds(std::chrono::seconds(parms.wTimeLimit))
                                              : std::chrono::milliseconds(kLongestClip);
    recording.captureAudio = parms.fCaptureAudio;
    recording.compression = window.compression();
    return recording;
}

// A recording started with fYield begins with the kept frames, the pre-event
// length before the grabbed frame (the alarm's), when the window keeps them.
bool startInBackground(CaptureWindow& window, ClipRecording recording)
{
    if (std::shared_ptr<const PreEventBuffer> earlier = window.preEventBuffer()) {
        const std::chrono::steady_clock::time_point grabbed = window.grabbedFrameStamp().time;
        const std::chrono::steady_clock::time_point moment =
            grabbed == std::chrono::steady_clock::time_point{} ? std::chrono::steady_clock::now() : grabbed;
        recording.from = moment - earlier->length();
        recording.earlier = std::move(earlier);
    }
    auto recorder = std::make_unique<ClipRecorder>(recording, [&window] { return window.latestFrame(); });
    if (!recorder->start())
        return false;
    window.setBackgroundRecording(std::move(recorder));
    return true;
}

// Keeps the application's events flowing (painting, the abort key) until the
// recorder is done, within the clip's length plus an allowance.
void serveEventsWhileRecording(ClipRecorder& recorder, const CAPTUREPARMS& parms, std::chrono::milliseconds limit)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    AbortWatcher watcher(parms, recorder);
    application->installEventFilter(&watcher);
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer elapsed;
    elapsed.start();
    const qint64 deadline = std::chrono::milliseconds(limit + kClosingAllowance).count();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (elapsed.elapsed() > deadline)
            recorder.stop();
        if (recorder.finished())
            loop.quit();
    });
    poll.start(kPollMs);
    loop.exec();
    application->removeEventFilter(&watcher);
}

}  // namespace

bool capCaptureGetSetup(CaptureWindow* window, CAPTUREPARMS* parms, int size)
{
    if (!window || !parms || size <= 0)
        return false;
    *parms = window->sequenceSetup();
    return true;
}

bool capCaptureSetSetup(CaptureWindow* window, const CAPTUREPARMS* parms, int size)
{
    if (!window || !parms || size <= 0)
        return false;
    window->setSequenceSetup(*parms);
    return true;
}

bool capFileSetCaptureFile(CaptureWindow* window, const QString& path)
{
    if (!window || path.isEmpty())
        return false;
    window->setCaptureFile(path);
    return true;
}

bool capCaptureSequence(CaptureWindow* window)
{
    if (!window || !window->isConnected() || window->captureFile().isEmpty() || activeRecorder
        || window->backgroundRecording())
        return false;
    const ClipRecording recording = recordingFor(*window);
    if (window->sequenceSetup().fYield)
        return startInBackground(*window, recording);
    ClipRecorder recorder(recording, [window] { return window->latestFrame(); });
    if (!recorder.start())
        return false;
    activeRecorder = &recorder;
    serveEventsWhileRecording(recorder, window->sequenceSetup(), recording.timeLimit);
    recorder.wait();
    activeRecorder = nullptr;
    return recorder.outcome().written;
}

bool capCaptureStop(CaptureWindow* window)
{
    if (!window)
        return false;
    if (std::unique_ptr<ClipRecorder> background = window->takeBackgroundRecording()) {
        background->stop();
        background->wait();
        return true;
    }
    if (!activeRecorder)
        return false;
    activeRecorder->stop();
    return true;
}

bool capCaptureFinish(CaptureWindow* window, std::chrono::milliseconds rest)
{
    if (!window || activeRecorder)
        return false;
    // Held here from now on, as a recording that blocks from its start is.
    const std::unique_ptr<ClipRecorder> recorder = window->takeBackgroundRecording();
    if (!recorder)
        return false;
    recorder->endAfter(rest);
    activeRecorder = recorder.get();
    // Kept frames not yet caught up with may take a while after the end.
    serveEventsWhileRecording(*recorder, window->sequenceSetup(), rest + window->preEventLength());
    recorder->wait();
    activeRecorder = nullptr;
    return recorder->outcome().written;
}
