#include "detect/FrameCompareKernels.h"

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

template <bool DropSmall, bool Store>
uint64_t weightedRuns(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return compareEachRun(job, runs,
                          [dropBelow](const uint8_t* reference, const uint8_t* current, uint8_t* difference,
                                      size_t bytes, uint32_t fill) {
                              return compareRun<DropSmall, Store>(reference, current, difference, bytes, fill,
                                                                  dropBelow);
                          });
}

template <bool Store>
uint64_t framesStoring(const FrameComparison& job, uint8_t dropBelow)
{
    return dropBelow > 0 ? compareRun<true, Store>(job.reference, job.current, job.difference, job.byteCount,
                                                   job.differenceFill, dropBelow)
                         : compareRun<false, Store>(job.reference, job.current, job.difference, job.byteCount,
                                                    job.differenceFill, 0);
}

template <bool Store>
uint64_t runsStoring(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return dropBelow > 0 ? weightedRuns<true, Store>(job, runs, dropBelow) : weightedRuns<false, Store>(job, runs, 0);
}

}  // namespace

uint64_t compareFramesSse2(const FrameComparison& job, uint8_t dropBelow)
{
    return job.difference != nullptr ? framesStoring<true>(job, dropBelow) : framesStoring<false>(job, dropBelow);
}

uint64_t compareRunsSse2(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return job.difference != nullptr ? runsStoring<true>(job, runs, dropBelow)
                                     : runsStoring<false>(job, runs, dropBelow);
}
