#pragma once

#include "detect/AlarmDiskNote.h"
#include "detect/AlarmLevel.h"
#include "detect/FrameDetector.h"
#include "detect/MaskSource.h"
#include "detect/TimeLine.h"
#include "upload/AlarmRecording.h"
#include "upload/UploadQueue.h"
#include "watch/AlarmSequence.h"
#include "watch/WatchEvents.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <thread>

class AlarmCommands;
class AlarmHistory;
class CaptureWindow;
class QTimer;
class StorageKeeper;

// Watching itself: the camera (the capture window hCapWnd points to), the
// detector and its timer Timer1, the alarm decision and run, the alarm
// sound's repeat timer Timer2, the time line and its file, the background
// uploads, the storage keeper, the history, the alarm commands and the watch
// events. Windows and
// the headless program drive it through start, suspend, resume and shutDown
// and observe it through its signals.
class Watcher : public QObject, private AlarmActions {
    Q_OBJECT
public:
    explicit Watcher(QObject* parent = nullptr);
    ~Watcher() override;

    CaptureWindow* camera() const { return camera_.get(); }
    // The connected camera as events name it, a password in it masked.
    QString cameraName() const;

    // Connects the first driver among the indices 0 to 9 and starts its live
    // picture; false when none answers.
    bool connectCamera();
    // The time line kept from the last run, the history and the keeper, then
    // Timer1; tells Started.
    void startWatching();
    // Detector off, live picture off; a tick already queued does nothing.
    void suspend();
    // Live picture on, detector on (not once shutting down).
    void resume();
    // Ends watching whatever it is doing: the alarm mail under way, the camera,
    // the uploads, the sound; saves the settings and the time line; tells
    // Stopped, last of all events. Once only.
    void shutDown();
    bool isClosing() const { return closing_; }
    // From an alarm's start to its end, whether the detector waits or, with
    // KEEPWATCH, goes on ticking. Its steps run while the event loop does.
    bool isAlarmRunning() const { return sequence_.running(); }
    // Alarms that may wait behind the running one (KEEPWATCH); one more drops the oldest waiting.
    static constexpr size_t kMostWaitingAlarms = 5;
    // Between startWatching and shutDown, unless suspended.
    bool isWatching() const { return watching_; }

    // Timer1 runs with TIMER x 100 ms, or is stopped. Starting takes the mask afresh.
    void startDetector();
    void stopDetector();
    void Timer1_Timer();
    void Timer2_Timer();

    // Whether ticks make the difference picture that `ticked` carries; off
    // until a scope shows it, which saves a frame's memory and its writing.
    void showDifferences(bool show) { detector_.keepDifferences(show); }

    // The last frame a tick obtained: the alarm mail's snapshot.
    const QImage& pic_ViewA() const { return detector_.latestFrame(); }
    const TimeLine& timeLine() const { return timeLine_; }
    // The start line's words on the mask watching started with.
    QString maskSummary() const;
    UploadQueue& uploads() { return *uploads_; }
    // Outside listeners of the watch events.
    WatchEvents& events() { return events_; }
    // Told to the watcher's own parts first, in this order: the alarm's disk
    // note, the storage keeper (so it has made room when the history writes),
    // the history, the alarm commands; then to the outside listeners.
    void tell(const WatchEvent& event) override;

    // True makes the next tick take a new reference without comparing; only the detector clears it.
    bool SkipCompare = false;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

signals:
    // A tick's count; `difference` is the difference picture, null when the tick
    // did not compare or differences are not shown.
    void ticked(int32_t count, const QImage& difference);
    void levelShown(AlarmLevel level);
    // Status panel 1.
    void statusShown(const QString& text);
    // Status panel 1 during an alarm, to be painted at once.
    void alarmStepShown(const QString& text);
    // An alarm's lamps and texts are set, to be painted at once; `lastAlarm` is panel 2.
    void alarmShown(const QString& lastAlarm);
    void commandsLocked(bool locked);
    // An alarm watched through (KEEPWATCH): what of it still runs, "" once it
    // is over; `mailing` while its mail thread reads the mail settings.
    void alarmProgress(const QString& text, bool mailing);
    // The time line drew a tick (image, marker and clock), or came back from its file (image).
    void timeLineDrawn();
    void timeLineRestored();
    // Watching (re)started with these weights of the mask; null: the whole picture.
    void maskTaken(const QImage& weights);
    void watchingChanged(bool watching);

private:
    void sAlarmDecision(int32_t count);
    void startAlarm(int32_t count, const QImage& frame);
    // The alarm's mail has ended: the clip, the upload and the alarm's end follow.
    void mailSent();
    // A step of the running alarm has ended: the next begins.
    void advance(AlarmSequence::Step step);
    // An upload has ended: the alarm waiting for it goes on.
    void uploadEnded(const ClipUpload& upload);
    // Cancels the alarm's mail until its thread has ended, within a bound, and joins it.
    void endMail();
    // After a failure inside a step: the alarm is over and the commands open again.
    void recoverFromFailure();
    // The next waiting alarm, or the detector again.
    void nextAlarm();
    void showProgress();
    void showLevel(AlarmLevel level);
    void drawTimeLine(int32_t count, AlarmLevel level);
    void keepTimeLine();
    void restoreTimeLine();
    // The mask file when the option is on; why not, told once.
    void takeMask();
    void startRemembering();
    void sClearCapture();
    void connectUploads();
    // Tells CameraLost or CameraBack when the reader's state changed since the last tick.
    void tellCameraState();
    void setWatching(bool watching);

    void skipNextCompare() override { SkipCompare = true; }
    void startSound() override;
    void showAlarm() override;
    void lockCommands(bool locked) override;
    void startClip() override;
    void sendMail() override;
    void recordClip() override;
    void uploadClip(bool inBackground) override;
    void showAlarmOver() override;
    void alarmEnded() override;

    std::unique_ptr<CaptureWindow> camera_;
    AlarmClip clip_;  // follows the camera's recording, so ends before it
    UploadQueue* uploads_ = nullptr;
    FrameDetector detector_;
    MaskSource maskSource_;
    TimeLine timeLine_;
    AlarmDiskNote diskNote_;
    std::unique_ptr<StorageKeeper> storageKeeper_;
    std::unique_ptr<AlarmHistory> history_;
    std::unique_ptr<AlarmCommands> commands_;  // ends before the history it tells
    WatchEvents events_;
    std::optional<ClipUpload> recordedClip_;  // between recording and upload
    QString foregroundUpload_;  // the clip whose upload the running alarm waits for
    // The running alarm: its count, its frame (the mail's snapshot) and the
    // thread its mail runs on, so that the event loop goes on meanwhile.
    struct Alarm {
        int32_t count = 0;
        QImage frame;
    };
    Alarm alarm_;
    AlarmSequence sequence_{*this};
    std::deque<Alarm> alarmsWaiting_;
    std::thread mailThread_;
    std::atomic<bool> mailEnded_{true};
    QString progressShown_;
    bool mailingShown_ = false;
    bool suspended_ = false;
    std::atomic<bool> closing_{false};
    bool inTick_ = false;  // the tick under way re-arms the detector itself
    bool cameraLost_ = false;
    bool watching_ = false;
};
