#pragma once

#include "app/Twips.h"

#include <QColor>
#include <QRect>
#include <QWidget>

class QFrame;

// Places a control at a position and size given in twips.
template <typename Widget>
Widget* placeTwips(Widget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// Fills the widget's background with a colour of its own.
void setBackgroundColour(QWidget* widget, QColor colour);

// A line drawn as a filled strip, for separators and grid lines.
QFrame* colouredLine(const QRect& geometry, QColor colour, QWidget* parent);
