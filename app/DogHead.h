#pragma once

#include <QtGlobal>

class QPainter;

// The program's emblem, a watch dog's head, centred at (cx, cy), `size` across:
// the logo, the window icon and the installed desktop icon.
void drawDogHead(QPainter& painter, qreal cx, qreal cy, qreal size);
