// The capture window's clip recording: the sequence setup, the capture file,
// and a recording that runs on a thread of its own while the window stays live.
#include "capture/CaptureWindow.h"
#include "capture/ClipRecorder.h"
#include "capture/SequenceEnd.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {

// A recording without a time limit still ends by itself after this long.
constexpr std::chrono::minutes kLongestClip{60};
// How long the recorder may take to close the file after its last frame.
constexpr std::chrono::seconds kClosingAllowance{10};
constexpr std::chrono::milliseconds kPoll{20};

// The platform's virtual-key code of the abort key as a Qt key (0 = none).
int abortKey(int virtualKey)
{
    if (virtualKey == 0x1B)
        return Qt::Key_Escape;
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return virtualKey;  // Qt's codes for digits and letters are the same
    return 0;
}

// Watches every event of the application for the abort key or mouse buttons,
// except while a modal window (a dialog opened meanwhile) has them.
class AbortWatcher : public QObject {
public:
    AbortWatcher(const CAPTUREPARMS& parms, CaptureWindow& window)
        : key_(abortKey(parms.vKeyAbort)), left_(parms.fAbortLeftMouse), right_(parms.fAbortRightMouse), window_(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::modalWindow())
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::KeyPress && key_ != 0 && static_cast<QKeyEvent*>(event)->key() == key_) {
            capCaptureStop(&window_);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
            if ((button == Qt::LeftButton && left_) || (button == Qt::RightButton && right_)) {
                capCaptureStop(&window_);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int key_;
    bool left_;
    bool right_;
    CaptureWindow& window_;
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

bool runningRecording(const CaptureWindow& window)
{
    const ClipRecorder* recorder = window.backgroundRecording();
    return recorder != nullptr && !recorder->finished();
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
    if (!window || !window->isConnected() || window->captureFile().isEmpty() || runningRecording(*window))
        return false;
    ClipRecording recording = recordingFor(*window);
    // With kept frames the clip begins the pre-event length before the grabbed frame (the alarm's).
    if (std::shared_ptr<const PreEventBuffer> earlier = window->preEventBuffer()) {
        const std::chrono::steady_clock::time_point grabbed = window->grabbedFrameStamp().time;
        const std::chrono::steady_clock::time_point moment =
            grabbed == std::chrono::steady_clock::time_point{} ? std::chrono::steady_clock::now() : grabbed;
        recording.from = moment - earlier->length();
        recording.earlier = std::move(earlier);
    }
    auto recorder = std::make_unique<ClipRecorder>(recording, [window] { return window->latestFrame(); });
    if (!recorder->start())
        return false;
    window->setBackgroundRecording(std::move(recorder));
    return true;
}

bool capCaptureStop(CaptureWindow* window)
{
    if (!window || !runningRecording(*window))
        return false;
    window->backgroundRecording()->stop();
    return true;
}

bool capCaptureFinish(CaptureWindow* window, std::chrono::milliseconds rest)
{
    if (!window || !runningRecording(*window))
        return false;
    window->backgroundRecording()->endAfter(rest);
    return true;
}

SequenceEnd::SequenceEnd(CaptureWindow& window, std::chrono::milliseconds length, QObject* parent)
    : QObject(parent),
      window_(window),
      poll_(new QTimer(this)),
      // Kept frames not yet caught up with may take a while after the end.
      deadline_(std::chrono::steady_clock::now() + length + window.preEventLength() + kClosingAllowance)
{
    if (QCoreApplication* application = QCoreApplication::instance()) {
        abortKeys_ = std::make_unique<AbortWatcher>(window.sequenceSetup(), window);
        application->installEventFilter(abortKeys_.get());
    }
    connect(poll_, &QTimer::timeout, this, &SequenceEnd::look);
    poll_->start(kPoll);
}

SequenceEnd::~SequenceEnd()
{
    if (abortKeys_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(abortKeys_.get());
}

void SequenceEnd::look()
{
    if (runningRecording(window_)) {
        if (std::chrono::steady_clock::now() > deadline_)
            capCaptureStop(&window_);
        return;
    }
    poll_->stop();
    if (abortKeys_)
        QCoreApplication::instance()->removeEventFilter(abortKeys_.get());
    abortKeys_.reset();
    const std::unique_ptr<ClipRecorder> recorder = window_.takeBackgroundRecording();
    if (recorder)
        recorder->wait();
    emit ended(recorder != nullptr && recorder->outcome().written);
}
