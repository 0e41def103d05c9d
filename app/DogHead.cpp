#include "app/DogHead.h"

#include <QPainter>

void drawDogHead(QPainter& painter, qreal cx, qreal cy, qreal size)
{
    const qreal r = size / 2;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 40, 20), size / 40));

    // Floppy ears behind the face.
    painter.setBrush(QColor(120, 70, 35));
    painter.drawEllipse(QRectF(cx - r * 1.05, cy - r * 0.75, r * 0.6, r * 1.3));
    painter.drawEllipse(QRectF(cx + r * 0.45, cy - r * 0.75, r * 0.6, r * 1.3));

    painter.setBrush(QColor(205, 150, 90));
    painter.drawEllipse(QRectF(cx - r * 0.7, cy - r * 0.8, r * 1.4, r * 1.5));

    // Pale muzzle, eyes and nose.
    painter.setBrush(QColor(245, 225, 190));
    painter.drawEllipse(QRectF(cx - r * 0.4, cy + r * 0.05, r * 0.8, r * 0.6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 20, 10));
    painter.drawEllipse(QPointF(cx - r * 0.3, cy - r * 0.2), r * 0.1, r * 0.12);
    painter.drawEllipse(QPointF(cx + r * 0.3, cy - r * 0.2), r * 0.1, r * 0.12);
    painter.drawEllipse(QPointF(cx, cy + r * 0.18), r * 0.16, r * 0.11);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(cx - r * 0.27, cy - r * 0.24), r * 0.03, r * 0.03);
    painter.drawEllipse(QPointF(cx + r * 0.33, cy - r * 0.24), r * 0.03, r * 0.03);
}
