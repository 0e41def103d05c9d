#pragma once

#include <QWidget>

class CaptureWindow;

// The camera window: hosts the live picture of the capture window.
class frm_Camera : public QWidget {
    Q_OBJECT
public:
    explicit frm_Camera(QWidget* parent);

    // Puts the live picture of the capture window into this window.
    void attachCaptureWindow(CaptureWindow* window);
    // Fits the live picture to the window's inner area.
    void ResizeCaptureWindow(CaptureWindow* window);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* captureView_ = nullptr;
};
