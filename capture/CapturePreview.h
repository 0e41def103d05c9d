#pragma once

#include "capture/FrameReader.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

class CaptureWindow;

// The view of a capture window: its latest frame at the preview rate while the
// preview is on (stretched to the widget when scaling is on), the last picture
// shown while it is off. Frames are decoded here, at the paint rate, and only
// as large as the widget needs; a hidden or minimised view decodes nothing.
class CapturePreview : public QWidget {
    Q_OBJECT
public:
    // A null window follows hCapWnd.
    explicit CapturePreview(CaptureWindow* window = nullptr, QWidget* parent = nullptr);

    QImage shownPicture() const { return picture_; }
    // Drawn over the picture, stretched to it without smoothing; null for none.
    void setOverlay(const QImage& overlay);

public slots:
    // One preview step: takes a new frame when the preview is on and can be seen.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CaptureWindow* source() const;
    // Where the picture goes: the whole widget when scaling, else its own size.
    QRect pictureRect(QSize pictureSize) const;

    CaptureWindow* window_;
    QTimer timer_;
    QImage picture_;
    QImage overlay_;
    FrameStamp pictureStamp_;
};
