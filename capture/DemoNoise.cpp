#include "capture/DemoNoise.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr int kMaxAmplitude = 255;
// A row reads at most kSpan pixels from one place, which starts within the first kSpan of the table.
constexpr size_t kSpan = 16384;
constexpr size_t kTableBytes = 2 * kSpan * 4;

// SplitMix64: small, fast and the same on every machine.
uint64_t nextRandom(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Per byte of Format_RGB32 pixels: how much to add and how much to take away
// (one of them 0); the fourth byte of every pixel is left alone.
struct NoiseTable {
    std::vector<uint8_t> up;
    std::vector<uint8_t> down;
};

NoiseTable makeTable(int amplitude)
{
    NoiseTable table{std::vector<uint8_t>(kTableBytes), std::vector<uint8_t>(kTableBytes)};
    const unsigned span = 2 * static_cast<unsigned>(amplitude) + 1;
    // Blue, green and red: the first three bytes of a little-endian 0xffRRGGBB,
    // the last three of a big-endian one.
    constexpr size_t first = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 1;
    uint64_t state = static_cast<uint64_t>(amplitude);
    for (size_t pixel = 0; pixel < kTableBytes / 4; ++pixel) {
        const uint64_t r = nextRandom(state);
        for (size_t colour = 0; colour < 3; ++colour) {
            const int delta = static_cast<int>(((r >> (16 * colour)) & 0xFFFF) % span) - amplitude;
            table.up[pixel * 4 + first + colour] = static_cast<uint8_t>(std::max(delta, 0));
            table.down[pixel * 4 + first + colour] = static_cast<uint8_t>(std::max(-delta, 0));
        }
    }
    return table;
}

const NoiseTable& tableFor(int amplitude)
{
    static std::mutex mutex;
    static std::array<std::unique_ptr<NoiseTable>, kMaxAmplitude + 1> tables;
    std::lock_guard lock(mutex);
    std::unique_ptr<NoiseTable>& table = tables[static_cast<size_t>(amplitude)];
    if (!table)
        table = std::make_unique<NoiseTable>(makeTable(amplitude));
    return *table;
}

void addSaturating(uint8_t* bytes, const uint8_t* up, const uint8_t* down, size_t count)
{
    size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= count; i += 16) {
        const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i raised = _mm_adds_epu8(value, _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + i)));
        const __m128i noisy = _mm_subs_epu8(raised, _mm_loadu_si128(reinterpret_cast<const __m128i*>(down + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), noisy);
    }
#endif
    for (; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(std::clamp(bytes[i] + up[i] - down[i], 0, 255));
}

}  // namespace

void addDemoNoise(QImage& image, int amplitude, uint64_t seed)
{
    if (amplitude <= 0 || image.format() != QImage::Format_RGB32)
        return;
    const NoiseTable& table = tableFor(std::min(amplitude, kMaxAmplitude));
    uint64_t state = seed;
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* line = image.scanLine(y);
        for (size_t done = 0, width = static_cast<size_t>(image.width()); done < width; done += kSpan) {
            const size_t start = (nextRandom(state) % kSpan) * 4;
            const size_t pixels = std::min(kSpan, width - done);
            addSaturating(line + done * 4, table.up.data() + start, table.down.data() + start, pixels * 4);
        }
    }
}
