#include "detect/MaskCanvas.h"

#include "capture/CaptureWindow.h"
#include "detect/DetectionMask.h"
#include "detect/MaskGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kRefreshMs = 100;

}  // namespace

MaskCanvas::MaskCanvas(CaptureWindow* camera, MaskGrid& grid, QWidget* parent)
    : QWidget(parent), camera_(camera), grid_(grid)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(MaskGrid::kColumns * 16, MaskGrid::kRows * 16);
    setCursor(Qt::CrossCursor);
    connect(&timer_, &QTimer::timeout, this, &MaskCanvas::refresh);
    timer_.start(kRefreshMs);
    refresh();
}

void MaskCanvas::refresh()
{
    if (camera_ == nullptr)
        return;
    // Watching is suspended while the editor is open, but the camera is still read.
    FrameStamp stamp;
    const std::shared_ptr<const CameraFrame> frame = camera_->latestCameraFrame(&stamp);
    if (!frame || stamp == pictureStamp_)
        return;
    picture_ = frame->previewPicture(size());
    pictureStamp_ = stamp;
    update();
}

QRect MaskCanvas::pictureRect() const
{
    const QSize shape = picture_.isNull() ? QSize(MaskGrid::kColumns, MaskGrid::kRows) : picture_.size();
    QRect fitted(QPoint(0, 0), shape.scaled(size(), Qt::KeepAspectRatio));
    fitted.moveCenter(rect().center());
    return fitted;
}

QRect MaskCanvas::cellRect(int column, int row) const
{
    const QRect area = pictureRect();
    const int left = area.left() + column * area.width() / MaskGrid::kColumns;
    const int top = area.top() + row * area.height() / MaskGrid::kRows;
    return QRect(QPoint(left, top), QPoint(area.left() + (column + 1) * area.width() / MaskGrid::kColumns - 1,
                                           area.top() + (row + 1) * area.height() / MaskGrid::kRows - 1));
}

void MaskCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect area = pictureRect();
    if (!picture_.isNull())
        painter.drawImage(area, picture_);
    painter.drawImage(area, maskTint(grid_.picture()));
    painter.setPen(QColor(255, 255, 255, 70));
    for (int column = 0; column <= MaskGrid::kColumns; ++column) {
        const int x = area.left() + column * area.width() / MaskGrid::kColumns;
        painter.drawLine(x, area.top(), x, area.bottom());
    }
    for (int row = 0; row <= MaskGrid::kRows; ++row) {
        const int y = area.top() + row * area.height() / MaskGrid::kRows;
        painter.drawLine(area.left(), y, area.right(), y);
    }
}

void MaskCanvas::paintAt(QPointF point)
{
    const QRect area = pictureRect();
    if (!area.contains(point.toPoint()))
        return;
    const int column = int((point.x() - area.left()) * MaskGrid::kColumns / area.width());
    const int row = int((point.y() - area.top()) * MaskGrid::kRows / area.height());
    grid_.paint(column, row, brush_, weight_);
    update();
}

void MaskCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        paintAt(event->position());
}

void MaskCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        paintAt(event->position());
}
