#pragma once

#include "capture/FrameReader.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>

class CaptureWindow;
class MaskGrid;

// The mask editor's picture: the camera's live picture, the grid's tint and
// its lines over it; a press or a drag paints the cells under the pointer.
class MaskCanvas : public QWidget {
    Q_OBJECT
public:
    MaskCanvas(CaptureWindow* camera, MaskGrid& grid, QWidget* parent = nullptr);

    void setWeight(uint8_t weight) { weight_ = weight; }
    void setBrush(int cells) { brush_ = cells; }
    // Where cell (column, row) lies in the widget.
    QRect cellRect(int column, int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // A new frame of the camera, when there is one.
    void refresh();
    // The picture's place: the frame's shape, as large as the widget allows.
    QRect pictureRect() const;
    void paintAt(QPointF point);

    CaptureWindow* camera_;
    MaskGrid& grid_;
    QTimer timer_;
    QImage picture_;
    FrameStamp pictureStamp_;
    uint8_t weight_ = 0;
    int brush_ = 1;
};
