#include "capture/CapturePreview.h"

#include "capture/CaptureWindow.h"

#include <QPainter>

CapturePreview::CapturePreview(CaptureWindow* window, QWidget* parent) : QWidget(parent), window_(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&timer_, &QTimer::timeout, this, &CapturePreview::refresh);
    timer_.start(66);
}

CaptureWindow* CapturePreview::window() const
{
    return window_ ? window_ : hCapWnd;
}

void CapturePreview::refresh()
{
    CaptureWindow* source = window();
    if (!source)
        return;
    if (timer_.interval() != source->previewRate())
        timer_.setInterval(source->previewRate());
    if (!source->previewing())
        return;
    uint64_t number = 0;
    QImage frame = source->latestFrame(&number);
    if (frame.isNull() || number == pictureNumber_)
        return;
    picture_ = frame;
    pictureNumber_ = number;
    update();
}

void CapturePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_.isNull())
        return;
    const CaptureWindow* source = window();
    if (source && source->previewScale())
        painter.drawImage(rect(), picture_);
    else
        painter.drawImage(QPoint(0, 0), picture_);
}
