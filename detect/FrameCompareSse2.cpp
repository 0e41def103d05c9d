#include "detect/FrameCompareForms.h"

namespace {

template <bool DropSmall, bool Store>
[[gnu::always_inline]] inline uint64_t compareRun(const uint8_t* reference, const uint8_t* current,
                                                  uint8_t* difference, size_t bytes, uint32_t fill, uint8_t dropBelow)
{
    __m128i sums = _mm_setzero_si128();
    const size_t i = compareNarrow<DropSmall, Store>(reference, current, difference, 0, bytes,
                                                     _mm_set1_epi32(static_cast<int>(fill)),
                                                     _mm_set1_epi8(static_cast<char>(dropBelow)), sums);
    return horizontalSum(sums) + compareLastBytes<Store>(reference, current, difference, i, bytes, fill, dropBelow);
}

}  // namespace

uint64_t compareFramesSse2(const FrameComparison& job, uint8_t dropBelow)
{
    return compareWholeFrame(job, dropBelow);
}

uint64_t compareRunsSse2(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return compareWeightedRuns(job, runs, dropBelow);
}
