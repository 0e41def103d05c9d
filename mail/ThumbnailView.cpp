#include "mail/ThumbnailView.h"

#include <QPainter>

ThumbnailView::ThumbnailView(QWidget* parent) : QWidget(parent) {}

void ThumbnailView::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void ThumbnailView::setCrossed(bool crossed)
{
    crossed_ = crossed;
    update();
}

void ThumbnailView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), picture_);
    if (!crossed_)
        return;
    painter.setPen(QPen(Qt::red, 1));
    painter.drawLine(0, 0, width() - 1, height() - 1);
    painter.drawLine(0, height() - 1, width() - 1, 0);
}
