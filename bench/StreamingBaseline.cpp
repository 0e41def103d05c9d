#include "bench/StreamingBaseline.h"

#include <immintrin.h>

namespace {

__attribute__((target("avx2"))) void streamAvx2(const uint8_t* first, const uint8_t* second,
                                                uint8_t* out, size_t bytes)
{
    size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
        const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + i));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + i + 32));
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second + i));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second + i + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_or_si256(a0, b0));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 32), _mm256_or_si256(a1, b1));
    }
    for (; i < bytes; ++i)
        out[i] = first[i] | second[i];
}

void streamSse2(const uint8_t* first, const uint8_t* second, uint8_t* out, size_t bytes)
{
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(a, b));
    }
    for (; i < bytes; ++i)
        out[i] = first[i] | second[i];
}

}  // namespace

void streamTwoIntoOne(const uint8_t* first, const uint8_t* second, uint8_t* out, size_t bytes)
{
    if (__builtin_cpu_supports("avx2"))
        streamAvx2(first, second, out, bytes);
    else
        streamSse2(first, second, out, bytes);
}
