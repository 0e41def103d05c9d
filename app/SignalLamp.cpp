#include "app/SignalLamp.h"

#include <QPainter>

#include <algorithm>

SignalLamp::SignalLamp(QColor bright, QColor border, QColor dark, QWidget* parent)
    : QWidget(parent), bright_(bright), border_(border), dark_(dark)
{
}

void SignalLamp::setLit(bool lit)
{
    if (lit_ == lit)
        return;
    lit_ = lit;
    update();
}

void SignalLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A circle as large as the shorter side, centred in the widget.
    const int diameter = std::min(width(), height()) - 2;
    const QRectF circle((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter, diameter);
    painter.setPen(QPen(border_, 2));
    painter.setBrush(lit_ ? bright_ : dark_);
    painter.drawEllipse(circle);
}
