#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

// Writes the picture, scaled to width x height, as a JPEG file.
// Result codes: 0 written, 1 cannot open, 2 cannot write, 3 format error,
// 4 stack overflow, 5 no picture.
int16_t DCSavetoJPEG(const QImage& picture, int width, int height, const QString& fileName,
                     uint8_t compressionRate, int32_t option);

// True for result code 0.
bool GetJpegError(int16_t& code);
