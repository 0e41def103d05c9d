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

void PictureBox::setOverlay(const QImage& overlay)
{
    overlay_ = overlay;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (image_.isNull())
        return;
    const QRect target = fit_ == Fit::Stretch ? rect() : QRect(QPoint(0, 0), image_.size());
    painter.drawImage(target, image_);
    if (!overlay_.isNull())
        painter.drawImage(target, overlay_);
}
