#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>

// The program's JPEG in memory, through libjpeg-turbo.

// `picture` (Format_RGB32) as a 4:2:0 JPEG of `quality` 1..100; empty on failure.
QByteArray encodeFrameJpeg(const QImage& picture, int quality);
// A JPEG image as a Format_RGB32 picture, decoded exactly; null when it cannot be decoded.
QImage decodeFrameJpeg(QByteArrayView jpeg);
// A JPEG image decoded fast at the smallest of 1, 1/2, 1/4 and 1/8 of its size
// that still covers `box`, for showing only; a damaged but readable image still
// gives a picture. Null when it cannot be decoded.
QImage decodeFrameJpegForBox(QByteArrayView jpeg, QSize box);
