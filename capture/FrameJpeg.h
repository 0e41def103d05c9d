#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

// JPEG in memory through libjpeg-turbo, for frames kept before an alarm.

// `picture` (Format_RGB32) as a 4:2:0 JPEG of `quality` 1..100; empty on failure.
QByteArray encodeFrameJpeg(const QImage& picture, int quality);
// A JPEG image as a Format_RGB32 picture; null when it cannot be decoded.
QImage decodeFrameJpeg(QByteArrayView jpeg);
