#pragma once

#include <QImage>

#include <cstdint>

// The demo camera's sensor noise: every colour of every pixel moved by a random
// amount in -amplitude..amplitude (clamped to 0..255), the same for the same seed.
// The random amounts come from a table made once per amplitude; each frame reads
// it from other places (one per stretch of a row, chosen by the seed), which
// costs a saturating add and subtract per byte.
void addDemoNoise(QImage& image, int amplitude, uint64_t seed);
