#include "settings/CommonHelpers.h"

QImage sResizePicture(const QImage& source, int height, int width)
{
    if (source.width() == width && source.height() == height) {
        return source.copy();
    }
    return source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
