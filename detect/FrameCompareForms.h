#pragma once

// The comparisons each kernel's file makes of its own compareRun; included by those files alone.
#include "detect/FrameCompareKernels.h"

namespace {

// One stretch of bytes through the instruction set of the file that includes
// this one; each kernel's file defines it.
template <bool DropSmall, bool Store>
[[gnu::always_inline]] inline uint64_t compareRun(const uint8_t* reference, const uint8_t* current,
                                                  uint8_t* difference, size_t bytes, uint32_t fill, uint8_t dropBelow);

// The whole frame, or its weighted runs, through compareRun in the form the job
// needs: small differences dropped or kept, the difference stored or not.
template <bool Store>
uint64_t compareWholeFrame(const FrameComparison& job, uint8_t dropBelow)
{
    return dropBelow > 0 ? compareRun<true, Store>(job.reference, job.current, job.difference, job.byteCount,
                                                   job.differenceFill, dropBelow)
                         : compareRun<false, Store>(job.reference, job.current, job.difference, job.byteCount,
                                                    job.differenceFill, 0);
}

inline uint64_t compareWholeFrame(const FrameComparison& job, uint8_t dropBelow)
{
    return job.difference != nullptr ? compareWholeFrame<true>(job, dropBelow) : compareWholeFrame<false>(job, dropBelow);
}

template <bool DropSmall, bool Store>
uint64_t compareWeightedRuns(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return compareEachRun(job, runs,
                          [dropBelow](const uint8_t* reference, const uint8_t* current, uint8_t* difference,
                                      size_t bytes, uint32_t fill) {
                              return compareRun<DropSmall, Store>(reference, current, difference, bytes, fill,
                                                                  dropBelow);
                          });
}

template <bool Store>
uint64_t compareWeightedRuns(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return dropBelow > 0 ? compareWeightedRuns<true, Store>(job, runs, dropBelow)
                         : compareWeightedRuns<false, Store>(job, runs, 0);
}

inline uint64_t compareWeightedRuns(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow)
{
    return job.difference != nullptr ? compareWeightedRuns<true>(job, runs, dropBelow)
                                     : compareWeightedRuns<false>(job, runs, dropBelow);
}

}  // namespace
