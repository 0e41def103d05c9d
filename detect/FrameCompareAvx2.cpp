// Compiled with -mavx2; called only when the processor has AVX2.
#include "detect/FrameCompareKernels.h"

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

template <bool DropSmall>
uint64_t compareAvx2(const FrameComparison& job, uint8_t dropBelow)
{
    const uint8_t* reference = job.reference;
    const uint8_t* current = job.current;
    uint8_t* difference = job.difference;
    // Two vectors per step halve the loop overhead.
    const size_t vectorBytes = job.byteCount & ~size_t{63};

    const __m256i zero = _mm256_setzero_si256();
    const __m256i threshold = _mm256_set1_epi8(static_cast<char>(dropBelow));
    const __m256i fill = _mm256_set1_epi32(static_cast<int>(job.differenceFill));
    __m256i sums = zero;
    for (size_t i = 0; i < vectorBytes; i += 64) {
        const __m256i d0 = absoluteDifference<DropSmall>(reference + i, current + i, threshold);
        const __m256i d1 =
            absoluteDifference<DropSmall>(reference + i + 32, current + i + 32, threshold);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(difference + i), _mm256_or_si256(d0, fill));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(difference + i + 32),
                            _mm256_or_si256(d1, fill));
        sums = _mm256_add_epi64(sums, _mm256_add_epi64(_mm256_sad_epu8(d0, zero),
                                                       _mm256_sad_epu8(d1, zero)));
    }
    const __m128i halves =
        _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    uint64_t sum = static_cast<uint64_t>(_mm_cvtsi128_si64(halves))
                   + static_cast<uint64_t>(_mm_extract_epi64(halves, 1));

    // The last bytes, fewer than one step, go through the narrower kernel;
    // the step is a multiple of 4, so the fill stays in phase.
    FrameComparison rest = job;
    rest.reference += vectorBytes;
    rest.current += vectorBytes;
    rest.difference += vectorBytes;
    rest.byteCount -= vectorBytes;
    return sum + compareFramesSse2(rest, dropBelow);
}

}  // namespace

uint64_t compareFramesAvx2(const FrameComparison& job, uint8_t dropBelow)
{
    return dropBelow > 0 ? compareAvx2<true>(job, dropBelow) : compareAvx2<false>(job, 0);
}
