// Compiled with -mavx2; called only when the processor has AVX2.
#include "detect/FrameCompareForms.h"

#include <immintrin.h>

namespace {

template <bool DropSmall>
__m256i absoluteDifference(const uint8_t* reference, const uint8_t* current, __m256i threshold)
{
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(reference));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(current));
    __m256i d = _mm256_sub_epi8(_mm256_max_epu8(a, b), _mm256_min_epu8(a, b));
    if constexpr (DropSmall) {
        // max(d, t) == d exactly when d >= t.
        d = _mm256_and_si256(d, _mm256_cmpeq_epi8(_mm256_max_epu8(d, threshold), d));
    }
    return d;
}

// One stretch of bytes: 128 at a time, then 64 and 32, the rest narrower;
// every step is a multiple of 4 bytes, so the fill stays in phase.
template <bool DropSmall, bool Store>
[[gnu::always_inline]] inline uint64_t compareRun(const uint8_t* reference, const uint8_t* current,
                                                  uint8_t* difference, size_t bytes, uint32_t fill, uint8_t dropBelow)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i threshold = _mm256_set1_epi8(static_cast<char>(dropBelow));
    const __m256i fillVector = _mm256_set1_epi32(static_cast<int>(fill));
    __m256i sums = zero;
    size_t i = 0;
    // One vector: its difference stored (with Store), its sum added.
    const auto step = [&](size_t at) {
        const __m256i d = absoluteDifference<DropSmall>(reference + at, current + at, threshold);
        if constexpr (Store)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(difference + at), _mm256_or_si256(d, fillVector));
        return _mm256_sad_epu8(d, zero);
    };
    // Four vectors per step: fewer rounds of the loop for each run.
    for (; i + 128 <= bytes; i += 128) {
        sums = _mm256_add_epi64(sums, _mm256_add_epi64(_mm256_add_epi64(step(i), step(i + 32)),
                                                       _mm256_add_epi64(step(i + 64), step(i + 96))));
    }
    if (i + 64 <= bytes) {
        sums = _mm256_add_epi64(sums, _mm256_add_epi64(step(i), step(i + 32)));
        i += 64;
    }
    if (i + 32 <= bytes) {
        sums = _mm256_add_epi64(sums, step(i));
        i += 32;
    }
    __m128i narrowSums = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    i = compareNarrow<DropSmall, Store>(reference, current, difference, i, bytes,
                                        _mm256_castsi256_si128(fillVector), _mm256_castsi256_si128(threshold),
                                        narrowSums);
    return horizontalSum(narrowSums)
           + compareLastBytes<Store>(reference, current, difference, i, bytes, fill, dropBelow);
}

}  // namespace

uint64_t compareFramesAvx2(const FrameComparison& job, uint8_t dropBelow)
{
    return compareWholeFrame(job, dropBelow);
}

uint64_t compareRunsAvx2(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return compareWeightedRuns(job, runs, dropBelow);
}
