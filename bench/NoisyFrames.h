#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A frame pair as a still scene gives it: a textured reference and a frame
// whose every byte lies within 8 of it (sensor noise only).
struct FramePair {
    std::vector<uint8_t> reference;
    std::vector<uint8_t> current;
    std::vector<uint8_t> difference;
};

inline FramePair makeNoisyPair(size_t bytes, uint32_t seed)
{
    FramePair pair{std::vector<uint8_t>(bytes), std::vector<uint8_t>(bytes),
                   std::vector<uint8_t>(bytes)};
    uint32_t state = seed | 1u;
    for (size_t i = 0; i < bytes; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const int base = static_cast<int>(state & 0xFF);
        const int noise = static_cast<int>((state >> 8) % 17) - 8;
        pair.reference[i] = static_cast<uint8_t>(base);
        pair.current[i] = static_cast<uint8_t>(base + noise < 0 ? 0 : base + noise > 255 ? 255 : base + noise);
    }
    return pair;
}
