#include "detect/FrameCompareKernels.h"

#include <emmintrin.h>

namespace {

template <bool DropSmall>
uint64_t compareSse2(const FrameComparison& job, uint8_t dropBelow)
{
    const uint8_t* reference = job.reference;
    const uint8_t* current = job.current;
    uint8_t* difference = job.difference;
    const size_t vectorBytes = job.byteCount & ~size_t{15};

    const __m128i zero = _mm_setzero_si128();
    const __m128i threshold = _mm_set1_epi8(static_cast<char>(dropBelow));
    const __m128i fill = _mm_set1_epi32(static_cast<int>(job.differenceFill));
    __m128i sums = zero;
    for (size_t i = 0; i < vectorBytes; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reference + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(current + i));
        __m128i d = _mm_sub_epi8(_mm_max_epu8(a, b), _mm_min_epu8(a, b));
        if constexpr (DropSmall) {
            // max(d, t) == d exactly when d >= t.
            d = _mm_and_si128(d, _mm_cmpeq_epi8(_mm_max_epu8(d, threshold), d));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(difference + i), _mm_or_si128(d, fill));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(d, zero));
    }
    uint64_t sum = static_cast<uint64_t>(_mm_cvtsi128_si64(sums))
                   + static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));

    for (size_t i = vectorBytes; i < job.byteCount; ++i) {
        const int signedDelta = int{reference[i]} - int{current[i]};
        auto d = static_cast<uint8_t>(signedDelta < 0 ? -signedDelta : signedDelta);
        if (d < dropBelow)
            d = 0;
        difference[i] = static_cast<uint8_t>(d | fillByte(job.differenceFill, i));
        sum += d;
    }
    return sum;
}

}  // namespace

uint64_t compareFramesSse2(const FrameComparison& job, uint8_t dropBelow)
{
    return dropBelow > 0 ? compareSse2<true>(job, dropBelow) : compareSse2<false>(job, 0);
}
