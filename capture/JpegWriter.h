#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

// Writes the picture, scaled to width x height, as a JPEG file.
// Result codes: 0 written, 1 cannot open, 2 cannot write, 3 format error,
// 4 stack overflow, 5 no picture.
// compressionRate is the "圧縮率" slider: higher compresses more. The JPEG
// quality is 101 - rate held to 1..100, so a rate of 0 gives the best quality.
int16_t DCSavetoJPEG(const QImage& picture, int width, int height, const QString& fileName,
                     uint8_t compressionRate, int32_t option);

// True for result code 0.
bool GetJpegError(int16_t& code);

// The JPEG quality (1..100) used for a compression rate.
int jpegQualityForRate(int compressionRate);

// The message associated with a result code; "" for 0 and unknown codes.
QString jpegErrorText(int16_t code);
