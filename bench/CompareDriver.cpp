// Compares one 640x480 frame pair a few times, so that instructions per frame
// byte can be counted: valgrind --tool=callgrind, then divide the inclusive
// cost of compareFrames by the printed byte count.
#include "detect/FrameCompare.h"
#include "bench/NoisyFrames.h"

#include <cstdio>

int main()
{
    constexpr size_t kBytes = size_t{640} * 480 * 4;
    constexpr int kRounds = 10;
    FramePair pair = makeNoisyPair(kBytes, 12345);
    uint64_t total = 0;
    for (int round = 0; round < kRounds; ++round) {
        total += compareFrames({pair.reference.data(), pair.current.data(),
                                pair.difference.data(), kBytes, round % 2 == 1, 32});
    }
    std::printf("compared %zu bytes (%d rounds, noise rule on every second), sum %llu\n",
                kBytes * kRounds, kRounds, static_cast<unsigned long long>(total));
    return 0;
}
