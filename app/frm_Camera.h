#pragma once

#include "detect/AlarmDiskNote.h"
#include "detect/AlarmLevel.h"
#include "detect/AlarmSequence.h"
#include "detect/FrameDetector.h"
#include "detect/TimeLine.h"
#include "upload/UploadQueue.h"

#include <optional>

#include <QWidget>

class CaptureWindow;
class QTimer;
class frmSw_Mail;

// The camera window: hosts the live picture, the detector's timer Timer1 and
// the alarm sound's repeat timer Timer2.
class frm_Camera : public QWidget, private AlarmActions {
    Q_OBJECT
public:
    explicit frm_Camera(frmSw_Mail* mainWindow);

    // Puts the live picture of the capture window into this window.
    void attachCaptureWindow(CaptureWindow* window);
    // Fits the live picture to the window's inner area.
    void ResizeCaptureWindow(CaptureWindow* window);

    // Timer1 runs with TIMER x 100 ms, or is stopped.
    void startDetector();
    void stopDetector();

    void Timer1_Timer();
    void Timer2_Timer();
    // Stops both timers and the alarm sound when the main window closes; keeps the time line.
    void Form_Unload();
    // Draws the time line kept from the last run.
    void restoreTimeLine();

    // The last frame a tick obtained: the alarm mail's snapshot.
    const QImage& pic_ViewA() const { return detector_.latestFrame(); }
    const TimeLine& timeLine() const { return timeLine_; }

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void sAlarmDecision(int32_t count);
    void showLevel(AlarmLevel level);

    void startSound() override;
    void showAlarm() override;
    void lockCommands(bool locked) override;
    void startClip() override;
    void sendMail() override;
    void recordClip() override;
    void uploadClip(bool inBackground) override;
    bool closing() const override;
    void showAlarmOver() override;
    void showAlarmStep(const QString& text);
    void drawTimeLine(int32_t count, AlarmLevel level);
    void keepTimeLine();
    // Tells CameraLost or CameraBack when the reader's state changed since the last tick.
    void tellCameraState();

    frmSw_Mail* mainWindow_;
    std::optional<ClipUpload> recordedClip_;  // between recording and upload
    QWidget* captureView_ = nullptr;
    bool cameraLost_ = false;
    FrameDetector detector_;
    TimeLine timeLine_;
    AlarmDiskNote diskNote_;
};
