#include "detect/FrameCompare.h"

#include "detect/FrameCompareKernels.h"

#include <optional>

namespace {

CompareKernel bestKernel()
{
    static const CompareKernel best = compareKernelSupported(CompareKernel::Avx2)
                                          ? CompareKernel::Avx2
                                          : CompareKernel::Sse2;
    return best;
}

// The noise rule's threshold as the kernels take it, or nullopt when no byte
// difference reaches it and every difference is dropped.
std::optional<uint8_t> dropBelow(const FrameComparison& job)
{
    const unsigned below = job.noise ? job.threshold : 0;
    return below > 255 ? std::nullopt : std::optional<uint8_t>(static_cast<uint8_t>(below));
}

uint64_t fillOnly(const uint8_t*, const uint8_t*, uint8_t* difference, size_t bytes, uint32_t fill)
{
    for (size_t i = 0; difference != nullptr && i < bytes; ++i)
        difference[i] = fillByte(fill, i);
    return 0;
}

}  // namespace

bool compareKernelSupported(CompareKernel kernel)
{
    switch (kernel) {
    case CompareKernel::Sse2:
        return true;  // part of the x86-64 baseline
    case CompareKernel::Avx2:
        return __builtin_cpu_supports("avx2");
    }
    return false;
}

uint64_t compareFramesWith(CompareKernel kernel, const FrameComparison& job)
{
    const std::optional<uint8_t> drop = dropBelow(job);
    if (!drop)
        return fillOnly(job.reference, job.current, job.difference, job.byteCount, job.differenceFill);
    return kernel == CompareKernel::Avx2 ? compareFramesAvx2(job, *drop) : compareFramesSse2(job, *drop);
}

uint64_t compareFrames(const FrameComparison& job)
{
    return compareFramesWith(bestKernel(), job);
}

uint64_t compareFramesWeightedWith(CompareKernel kernel, const FrameComparison& job,
                                   std::span<const WeightRun> runs)
{
    const std::optional<uint8_t> drop = dropBelow(job);
    if (!drop)
        return compareEachRun(job, runs, fillOnly);
    return kernel == CompareKernel::Avx2 ? compareRunsAvx2(job, runs, *drop) : compareRunsSse2(job, runs, *drop);
}

uint64_t compareFramesWeighted(const FrameComparison& job, std::span<const WeightRun> runs)
{
    return compareFramesWeightedWith(bestKernel(), job, runs);
}
