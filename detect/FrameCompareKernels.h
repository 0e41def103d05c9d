#pragma once

#include "detect/FrameCompare.h"

// The kernels behind compareFrames. Each takes the byte below which a
// difference is dropped (0 keeps every difference; at most 255).
uint64_t compareFramesSse2(const FrameComparison& job, uint8_t dropBelow);
uint64_t compareFramesAvx2(const FrameComparison& job, uint8_t dropBelow);
