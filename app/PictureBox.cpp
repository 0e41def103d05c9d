#include "app/PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(Fit fit, QWidget* parent) : QWidget(parent), fit_(fit)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setImage(const QImage& image)
{
    image_ = image;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (image_.isNull())
        return;
    if (fit_ == Fit::Stretch)
        painter.drawImage(rect(), image_);
    else
        painter.drawImage(QPoint(0, 0), image_);
}
