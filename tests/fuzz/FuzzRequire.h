#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise names its line before the fuzzer keeps the input.
inline void require(bool condition, unsigned line = __builtin_LINE(), const char* file = __builtin_FILE())
{
    if (!condition) {
        std::fprintf(stderr, "broken at %s:%u\n", file, line);
        std::abort();
    }
}
