#pragma once

#include <cmath>
#include <cstdint>

// The comparison as a plain double-precision loop over rows and row bytes:
// the reference the fast kernels must match exactly.
inline double literalCompare(const uint8_t* reference, const uint8_t* current, uint8_t* difference,
                             int32_t height, int32_t widthBytes, bool noise, unsigned threshold)
{
    double sum = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < widthBytes; ++x) {
            const int64_t at = int64_t{y} * widthBytes + x;
            double d = std::fabs(static_cast<double>(reference[at]) - static_cast<double>(current[at]));
            if (noise && d < threshold)
                d = 0;
            difference[at] = static_cast<uint8_t>(d);
            sum += d;
        }
    }
    return sum;
}
