#include "app/frm_Camera.h"

#include "capture/CapturePreview.h"
#include "capture/CaptureWindow.h"

frm_Camera::frm_Camera(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(160, 120);
}

void frm_Camera::ResizeCaptureWindow()
{
    if (captureView_ != nullptr)
        captureView_->resize(size());
}

void frm_Camera::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ResizeCaptureWindow();
}

void frm_Camera::attachCaptureWindow(CaptureWindow* window)
{
    delete captureView_;
    captureView_ = new CapturePreview(window, this);
    captureView_->setGeometry(0, 0, 160, 120);
    captureView_->setOverlay(maskTint_);
    captureView_->show();
}

void frm_Camera::setMaskTint(const QImage& tint)
{
    maskTint_ = tint;
    if (captureView_ != nullptr)
        captureView_->setOverlay(tint);
}
