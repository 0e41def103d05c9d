#pragma once

#include <QImage>

#include <cstdint>

// A frame is a QImage in QImage::Format_RGB32: 32 bits per pixel and rows of
// exactly 4 x width bytes, the layout the detector compares byte by byte.

// Header of a frame, as the detector compares it.
struct BITMAP {
    int32_t bmType = 0;
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;
    uint16_t bmPlanes = 0;
    uint16_t bmBitsPixel = 0;
    uintptr_t bmBits = 0;

    friend bool operator==(const BITMAP&, const BITMAP&) = default;
};

// The header of a frame: type 0, 1 plane, 32 bits per pixel, no bits pointer.
inline BITMAP frameHeader(const QImage& frame)
{
    BITMAP header;
    if (frame.isNull())
        return header;
    header.bmWidth = frame.width();
    header.bmHeight = frame.height();
    header.bmWidthBytes = static_cast<int32_t>(frame.bytesPerLine());
    header.bmPlanes = 1;
    header.bmBitsPixel = static_cast<uint16_t>(frame.depth());
    return header;
}
