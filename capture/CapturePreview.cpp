#include "capture/CapturePreview.h"

#include "capture/CaptureWindow.h"

#include <QPainter>
#include <QPaintEvent>

CapturePreview::CapturePreview(CaptureWindow* window, QWidget* parent) : QWidget(parent), window_(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&timer_, &QTimer::timeout, this, &CapturePreview::refresh);
    timer_.start(66);
}

CaptureWindow* CapturePreview::source() const
{
    return window_ ? window_ : hCapWnd;
}

QRect CapturePreview::pictureRect(QSize pictureSize) const
{
    const CaptureWindow* capture = source();
    return capture && capture->previewScale() ? rect() : QRect(QPoint(0, 0), pictureSize);
}

void CapturePreview::refresh()
{
    CaptureWindow* capture = source();
    if (!capture)
        return;
    if (timer_.interval() != capture->previewRate())
        timer_.setInterval(capture->previewRate());
    if (!capture->previewing() || !isVisible() || window()->isMinimized())
        return;
    FrameStamp stamp;
    const std::shared_ptr<const CameraFrame> frame = capture->latestCameraFrame(&stamp);
    if (!frame || stamp == pictureStamp_)
        return;
    const QSize box = (QSizeF(pictureRect(frame->size()).size()) * devicePixelRatioF()).toSize();
    const QImage picture = frame->previewPicture(box);
    if (picture.isNull())
        return;
    picture_ = picture;
    pictureStamp_ = stamp;
    update();
}

void CapturePreview::setOverlay(const QImage& overlay)
{
    overlay_ = overlay;
    update();
}

void CapturePreview::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    QRegion uncovered = event->region();
    if (!picture_.isNull()) {
        const QRect target = pictureRect(picture_.size());
        painter.drawImage(target, picture_);
        if (!overlay_.isNull())
            painter.drawImage(target, overlay_);
        uncovered -= target;
    }
    for (const QRect& part : uncovered)
        painter.fillRect(part, Qt::black);
}
