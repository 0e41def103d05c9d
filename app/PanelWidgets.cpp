#include "app/PanelWidgets.h"

#include <QFrame>

void setBackgroundColour(QWidget* widget, QColor colour)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

QFrame* colouredLine(const QRect& geometry, QColor colour, QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setGeometry(geometry);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    setBackgroundColour(line, colour);
    return line;
}
