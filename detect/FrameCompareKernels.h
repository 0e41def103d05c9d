#pragma once

#include "detect/FrameCompare.h"

// The kernels behind compareFrames. Each takes the byte below which a
// difference is dropped (0 keeps every difference; at most 255).
uint64_t compareFramesSse2(const FrameComparison& job, uint8_t dropBelow);
uint64_t compareFramesAvx2(const FrameComparison& job, uint8_t dropBelow);

// The byte of the difference fill that lands on byte `index` of the image.
inline uint8_t fillByte(uint32_t fill, size_t index)
{
    return static_cast<uint8_t>(fill >> (8 * (index % 4)));
}
