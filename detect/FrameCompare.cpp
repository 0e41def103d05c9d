#include "detect/FrameCompare.h"

#include "detect/FrameCompareKernels.h"


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
    if (job.byteCount == 0)
        return 0;
    const unsigned dropBelow = job.noise ? job.threshold : 0;
    if (dropBelow > 255) {
        // No byte difference reaches the threshold: the whole image is dropped.
        for (size_t i = 0; i < job.byteCount; ++i)
            job.difference[i] = fillByte(job.differenceFill, i);
        return 0;
    }
    const auto dropByte = static_cast<uint8_t>(dropBelow);
    return kernel == CompareKernel::Avx2 ? compareFramesAvx2(job, dropByte)
                                         : compareFramesSse2(job, dropByte);
}

uint64_t compareFrames(const FrameComparison& job)
{
    static const CompareKernel best = compareKernelSupported(CompareKernel::Avx2)
                                          ? CompareKernel::Avx2
                                          : CompareKernel::Sse2;
    return compareFramesWith(best, job);
}
