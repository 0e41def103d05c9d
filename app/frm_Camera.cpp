#include "app/frm_Camera.h"

#include "app/PictureBox.h"
#include "app/ScopePanel.h"
#include "app/frmSw_Mail.h"
#include "capture/CapturePreview.h"
#include "capture/CaptureWindow.h"
#include "settings/CommonHelpers.h"
#include "settings/Settings.h"
#include "settings/WatchEvents.h"
#include "sound/SoundPlayer.h"
#include "upload/AlarmRecording.h"

#include <QLabel>
#include <QTimer>

#include <exception>

frm_Camera::frm_Camera(frmSw_Mail* mainWindow) : QWidget(mainWindow), mainWindow_(mainWindow)
{
    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    connect(Timer1, &QTimer::timeout, this, &frm_Camera::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &frm_Camera::Timer2_Timer);
    setMinimumSize(160, 120);
}

void frm_Camera::ResizeCaptureWindow(CaptureWindow* window)
{
    CAPSTATUS status;
    capGetStatus(window, &status, sizeof status);
    if (captureView_ != nullptr)
        captureView_->resize(size());
}

void frm_Camera::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ResizeCaptureWindow(hCapWnd);
}

void frm_Camera::startDetector()
{
    // Watching (re)starts with the settings as they are now, pre-event frames included.
    sKeepPreEventFrames();
    Timer1->start(Settings.COM.TIMER * 100);
}

void frm_Camera::stopDetector()
{
    Timer1->stop();
    Timer1->setInterval(0);
}

void frm_Camera::Form_Unload()
{
    stopDetector();
    Timer2->stop();
    sSoundClose(Settings.COM.SoundPath);
    keepTimeLine();
}

void frm_Camera::Timer2_Timer()
{
    sSoundRepeat(Settings.COM.SoundPath);
}

void frm_Camera::Timer1_Timer()
{
    // A tick queued before detection stopped is ignored.
    if (!Timer1->isActive())
        return;
    stopDetector();
    tellCameraState();
    if (mainWindow_->isStopSelected() || mainWindow_->isEditingAlarmCount())
        return;

    // Any failure inside ends the tick quietly; detection goes on.
    try {
        const std::optional<DetectionResult> result = detector_.sDetectFrame(hCapWnd);
        if (result) {
            if (result->compared) {
                // A scaled copy: the detector keeps writing into its own buffer.
                PictureBox* scope = mainWindow_->picSideScope->picScope;
                scope->setImage(sResizePicture(detector_.differenceImage(), scope->height(), scope->width()));
            }
            mainWindow_->picSideScope->lblCount->setText(formatDetectionCount(result->count));
            sAlarmDecision(result->count);
        }
    } catch (const std::exception&) {
        // An alarm cut short must not leave the commands locked.
        if (!mainWindow_->isClosing())
            mainWindow_->sDispEnabled(true);
    }
    // The window may have closed while the alarm actions let events run.
    if (!mainWindow_->isClosing())
        startDetector();
}

void frm_Camera::tellCameraState()
{
    const bool lost = hCapWnd != nullptr && hCapWnd->sourceLost();
    if (lost == cameraLost_)
        return;
    cameraLost_ = lost;
    tellWatchEvent({.kind = lost ? WatchEvent::Kind::CameraLost : WatchEvent::Kind::CameraBack,
                    .name = mainWindow_->cameraName()});
}

void frm_Camera::attachCaptureWindow(CaptureWindow* window)
{
    delete captureView_;
    captureView_ = new CapturePreview(window, this);
    captureView_->setGeometry(0, 0, 160, 120);
    captureView_->show();
}
