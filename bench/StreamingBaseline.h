#pragma once

#include <cstddef>
#include <cstdint>

// The memory limit of any comparison: read two frames, write one, with the
// widest vectors the processor has and no arithmetic to speak of.
void streamTwoIntoOne(const uint8_t* first, const uint8_t* second, uint8_t* out, size_t bytes);
