#pragma once

#include "detect/FrameCompare.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

// The kernels behind compareFrames and compareFramesWeighted. Each takes the
// byte below which a difference is dropped (0 keeps every difference; at most 255).
uint64_t compareFramesSse2(const FrameComparison& job, uint8_t dropBelow);
uint64_t compareFramesAvx2(const FrameComparison& job, uint8_t dropBelow);
uint64_t compareRunsSse2(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow);
uint64_t compareRunsAvx2(const FrameComparison& job, std::span<const WeightRun> runs, uint8_t dropBelow);

// The byte of the difference fill that lands on byte `index` of the image.
inline uint8_t fillByte(uint32_t fill, size_t index)
{
    return static_cast<uint8_t>(fill >> (8 * (index % 4)));
}

// The fill as it lines up with a part of the image that starts at `offset`.
inline uint32_t fillFrom(uint32_t fill, size_t offset)
{
    const unsigned shift = 8 * static_cast<unsigned>(offset % 4);
    return shift == 0 ? fill : (fill >> shift) | (fill << (32 - shift));
}

// Internal linkage on purpose: each kernel's file compiles its own copy for its
// own instruction set, so an AVX2 build of these never runs on a processor without it.
namespace {

template <bool DropSmall>
[[gnu::always_inline]] inline __m128i absoluteDifference(__m128i a, __m128i b, __m128i threshold)
{
    __m128i d = _mm_sub_epi8(_mm_max_epu8(a, b), _mm_min_epu8(a, b));
    if constexpr (DropSmall) {
        // max(d, t) == d exactly when d >= t.
        d = _mm_and_si128(d, _mm_cmpeq_epi8(_mm_max_epu8(d, threshold), d));
    }
    return d;
}

[[gnu::always_inline]] inline uint64_t horizontalSum(__m128i sums)
{
    return static_cast<uint64_t>(_mm_cvtsi128_si64(sums))
           + static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}

// Over bytes [i, bytes): 16 at a time, then 8 and 4, added to `sums`; returns
// where it stopped, fewer than 4 bytes before the end. `i` is a multiple of 4
// from where `fill` lines up, so the fill stays in phase. Without Store
// `difference` is not touched.
template <bool DropSmall, bool Store>
[[gnu::always_inline]] inline size_t compareNarrow(const uint8_t* reference, const uint8_t* current,
                                                   uint8_t* difference, size_t i, size_t bytes, __m128i fill,
                                                   __m128i threshold, __m128i& sums)
{
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= bytes; i += 16) {
        const __m128i d = absoluteDifference<DropSmall>(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(reference + i)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(current + i)), threshold);
        if constexpr (Store)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(difference + i), _mm_or_si128(d, fill));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(d, zero));
    }
    if (i + 8 <= bytes) {
        const __m128i d = absoluteDifference<DropSmall>(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(reference + i)),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(current + i)), threshold);
        if constexpr (Store)
            _mm_storel_epi64(reinterpret_cast<__m128i*>(difference + i), _mm_or_si128(d, fill));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(d, zero));
        i += 8;
    }
    if (i + 4 <= bytes) {
        int32_t a = 0;
        int32_t b = 0;
        std::memcpy(&a, reference + i, 4);
        std::memcpy(&b, current + i, 4);
        const __m128i d = absoluteDifference<DropSmall>(_mm_cvtsi32_si128(a), _mm_cvtsi32_si128(b), threshold);
        if constexpr (Store) {
            const int32_t written = _mm_cvtsi128_si32(_mm_or_si128(d, fill));
            std::memcpy(difference + i, &written, 4);
        }
        sums = _mm_add_epi64(sums, _mm_sad_epu8(d, zero));
        i += 4;
    }
    return i;
}

// The last 0 to 3 bytes, one at a time.
template <bool Store>
[[gnu::always_inline]] inline uint64_t compareLastBytes(const uint8_t* reference, const uint8_t* current,
                                                        uint8_t* difference, size_t i, size_t bytes, uint32_t fill,
                                                        uint8_t dropBelow)
{
    uint64_t sum = 0;
    // A fixed count of 3 keeps the compiler from vectorising it.
    for (int step = 0; step < 3 && i < bytes; ++step, ++i) {
        const int signedDelta = int{reference[i]} - int{current[i]};
        auto d = static_cast<uint8_t>(signedDelta < 0 ? -signedDelta : signedDelta);
        if (d < dropBelow)
            d = 0;
        if constexpr (Store)
            difference[i] = static_cast<uint8_t>(d | fillByte(fill, i));
        sum += d;
    }
    return sum;
}

// Every run of weight above 0 through `compareRun(reference, current,
// difference, bytes, fill)`, its sum times its weight; `difference` is null
// when the job's is.
template <typename CompareRun>
[[gnu::always_inline]] inline uint64_t compareEachRun(const FrameComparison& job, std::span<const WeightRun> runs,
                                                      CompareRun compareRun)
{
    uint64_t weighted = 0;
    size_t at = 0;
    for (size_t index = 0; index < runs.size() && at < job.byteCount; ++index) {
        const size_t bytes = std::min<size_t>(runs[index].bytes, job.byteCount - at);
        if (runs[index].weight != 0) {
            // The processor's own prefetch does not see a jump over ignored
            // bytes coming: the first line after them is asked for now.
            if (index + 2 < runs.size() && runs[index + 1].weight == 0) {
                const size_t next = at + bytes + runs[index + 1].bytes;
                if (next < job.byteCount) {
                    _mm_prefetch(reinterpret_cast<const char*>(job.reference + next), _MM_HINT_T0);
                    _mm_prefetch(reinterpret_cast<const char*>(job.current + next), _MM_HINT_T0);
                    if (job.difference != nullptr)
                        _mm_prefetch(reinterpret_cast<const char*>(job.difference + next), _MM_HINT_T0);
                }
            }
            uint8_t* difference = job.difference != nullptr ? job.difference + at : nullptr;
            weighted += uint64_t{runs[index].weight} * compareRun(job.reference + at, job.current + at, difference,
                                                                  bytes, fillFrom(job.differenceFill, at));
        }
        at += bytes;
    }
    return weighted;
}

}  // namespace
