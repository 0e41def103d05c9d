#pragma once

#include "app/Twips.h"

#include <QColor>
#include <QRect>
#include <QWidget>

#include <algorithm>

class QFrame;

// Places a control at a position and size given in twips.
template <typename Widget>
Widget* placeTwips(Widget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// Widens a placed control to its text where that needs more room than the
// twips give (English in a face wider than the Japanese one they were measured
// for), never past its parent's right edge.
template <typename Widget>
Widget* roomForText(Widget* widget)
{
    const int wanted = widget->sizeHint().width();
    if (wanted > widget->width())
        widget->resize(std::min(wanted, widget->parentWidget()->width() - widget->x()), widget->height());
    return widget;
}

// Fills the widget's background with a colour of its own.
void setBackgroundColour(QWidget* widget, QColor colour);

// A line drawn as a filled strip, for separators and grid lines.
QFrame* colouredLine(const QRect& geometry, QColor colour, QWidget* parent);
