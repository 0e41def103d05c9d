#pragma once

#include <QWidget>

class CapturePreview;
class CaptureWindow;

// The camera window: hosts the live picture of the capture window.
class frm_Camera : public QWidget {
    Q_OBJECT
public:
    explicit frm_Camera(QWidget* parent);

    // Puts the live picture of the capture window into this window.
    void attachCaptureWindow(CaptureWindow* window);
    // Fits the live picture to the window's inner area.
    void ResizeCaptureWindow();
    // Tints the live picture where the mask ignores it; null for none.
    void setMaskTint(const QImage& tint);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CapturePreview* captureView_ = nullptr;
    QImage maskTint_;
};
