#pragma once

#include <QRect>

#include <cmath>

// The window layout is given in twips; 15 twips make one pixel at 96 dots per inch.
inline int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}
