#include "app/Pictures.h"

#include "app/DogHead.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap transparentPixmap(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon iconFrom(void (*draw)(QPainter&, int), int size = 24)
{
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, size);
    painter.end();
    return QIcon(pixmap);
}

void drawSpeaker(QPainter& painter, int size)
{
    const qreal s = size;
    QPainterPath body;
    body.moveTo(s * 0.12, s * 0.38);
    body.lineTo(s * 0.30, s * 0.38);
    body.lineTo(s * 0.52, s * 0.18);
    body.lineTo(s * 0.52, s * 0.82);
    body.lineTo(s * 0.30, s * 0.62);
    body.lineTo(s * 0.12, s * 0.62);
    body.closeSubpath();
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(QColor(70, 70, 90));
    painter.drawPath(body);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(40, 90, 200), s / 14, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(s * 0.40, s * 0.30, s * 0.30, s * 0.40), -50 * 16, 100 * 16);
    painter.drawArc(QRectF(s * 0.36, s * 0.16, s * 0.48, s * 0.68), -50 * 16, 100 * 16);
}

void drawWatchEye(QPainter& painter, int size)
{
    const qreal s = size;
    QPainterPath eye;
    eye.moveTo(s * 0.05, s * 0.5);
    eye.quadTo(s * 0.5, s * 0.05, s * 0.95, s * 0.5);
    eye.quadTo(s * 0.5, s * 0.95, s * 0.05, s * 0.5);
    painter.setPen(QPen(QColor(0, 110, 0), s / 14));
    painter.setBrush(QColor(220, 255, 220));
    painter.drawPath(eye);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 160, 0));
    painter.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.18, s * 0.18);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.08, s * 0.08);
}

void drawStopSquare(QPainter& painter, int size)
{
    const qreal s = size;
    painter.setPen(QPen(QColor(120, 0, 0), s / 14));
    painter.setBrush(QColor(220, 30, 30));
    painter.drawRoundedRect(QRectF(s * 0.22, s * 0.22, s * 0.56, s * 0.56), s * 0.06, s * 0.06);
}

}  // namespace

QPixmap logoPicture()
{
    QPixmap pixmap = transparentPixmap(120, 134);
    QPainter painter(&pixmap);
    // The panel shows only the upper part of the logo, so the head sits there.
    drawDogHead(painter, 60, 40, 64);
    return pixmap;
}

QIcon applicationIcon()
{
    QPixmap pixmap = transparentPixmap(64, 64);
    QPainter painter(&pixmap);
    drawDogHead(painter, 32, 34, 58);
    painter.end();
    return QIcon(pixmap);
}

QIcon soundButtonIcon()
{
    return iconFrom(drawSpeaker, 20);
}

QIcon watchButtonIcon()
{
    return iconFrom(drawWatchEye);
}

QIcon stopButtonIcon()
{
    return iconFrom(drawStopSquare);
}

QPixmap warningPicture(int size)
{
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(150, 120, 0), 1));
    painter.setBrush(QColor(255, 215, 0));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size - 4);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("!"));
    return pixmap;
}
