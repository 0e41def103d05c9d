#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Byte-wise comparison of two frames of equal layout. For every byte,
// d = |reference - current|; with the noise rule on, d < threshold counts as 0.
// d is written to difference (unless it is null) and the sum of all d is returned. The integer
// sum is exact, so it equals a double-precision accumulation of the same d.
struct FrameComparison {
    const uint8_t* reference = nullptr;
    const uint8_t* current = nullptr;
    uint8_t* difference = nullptr;
    size_t byteCount = 0;
    bool noise = false;
    unsigned threshold = 0;  // the frame's bits per pixel
    // OR-ed into every 4-byte group written to difference, not into the sum:
    // 0xFF000000 keeps an RGB32 difference image opaque where Qt needs it.
    uint32_t differenceFill = 0;
};

// The instruction sets the comparison can run on.
enum class CompareKernel { Sse2, Avx2 };

// Runs the comparison on the fastest kernel this processor supports.
uint64_t compareFrames(const FrameComparison& job);

// Runs the comparison on the given kernel (it must be supported).
uint64_t compareFramesWith(CompareKernel kernel, const FrameComparison& job);

bool compareKernelSupported(CompareKernel kernel);

// A stretch of consecutive bytes that share one weight: 0 ignores them, 255
// counts them in full, values between in proportion.
struct WeightRun {
    uint32_t bytes = 0;
    uint8_t weight = 255;
};

// The comparison over runs that follow each other from the first byte: each
// run's sum of d times its weight, added up (so all-255 runs give 255 x the
// plain sum). A run of weight 0 is neither read nor written; bytes past the
// runs are left alone, runs past byteCount are cut.
uint64_t compareFramesWeighted(const FrameComparison& job, std::span<const WeightRun> runs);
uint64_t compareFramesWeightedWith(CompareKernel kernel, const FrameComparison& job,
                                   std::span<const WeightRun> runs);
