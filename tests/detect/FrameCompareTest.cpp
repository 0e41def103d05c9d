#include "detect/FrameCompare.h"
#include "tests/detect/LiteralCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// Differences spread over the whole byte range and clustered around the noise
// threshold, where the rule is easiest to get wrong.
void fillPair(std::mt19937& random, std::vector<uint8_t>& reference, std::vector<uint8_t>& current)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> nearThreshold(-34, 34);
    for (size_t i = 0; i < reference.size(); ++i) {
        reference[i] = static_cast<uint8_t>(byte(random));
        const int delta = (i % 3 == 0) ? byte(random) - reference[i] : nearThreshold(random);
        current[i] = static_cast<uint8_t>(std::clamp(reference[i] + delta, 0, 255));
    }
}

// Odd widths and sizes that are not a multiple of any vector width; then runs
// of every length at every byte offset, weights 0, 255 and between, falling
// short of the frame in one case and running past it in the other.
TEST(FrameCompare, BothKernelsMatchTheLiteralLoopOnRandomFramesAndWeightedRuns)
{
    // {rows, row bytes}
    const std::pair<int32_t, int32_t> shapes[] = {{1, 1}, {1, 15}, {1, 17}, {3, 31}, {7, 33}, {5, 63},
                                                  {2, 65}, {9, 127}, {13, 4 * 37}, {240, 4 * 320}, {31, 4 * 641}};
    constexpr uint32_t kFill = 0x80FF0001u;
    constexpr uint8_t kFillBytes[4] = {0x01, 0x00, 0xFF, 0x80};  // kFill as it lies in memory
    std::mt19937 random(20240611);
    for (CompareKernel kernel : {CompareKernel::Sse2, CompareKernel::Avx2}) {
        if (!compareKernelSupported(kernel))
            continue;
        for (const auto& [height, widthBytes] : shapes) {
            const size_t bytes = size_t(height) * size_t(widthBytes);
            std::vector<uint8_t> reference(bytes), current(bytes);
            fillPair(random, reference, current);
            for (bool noise : {false, true}) {
                for (unsigned threshold : {8u, 24u, 32u, 300u}) {
                    SCOPED_TRACE(testing::Message() << "kernel " << int(kernel) << " rows " << height << " stride "
                                                    << widthBytes << " noise " << noise << " threshold " << threshold);
                    std::vector<uint8_t> expected(bytes), actual(bytes, 0xAA), filled(bytes);
                    const double literal = literalCompare(reference.data(), current.data(), expected.data(), height,
                                                          widthBytes, noise, threshold);
                    const uint64_t sum =
                        compareFramesWith(kernel, {reference.data(), current.data(), actual.data(), bytes, noise, threshold});
                    EXPECT_EQ(static_cast<double>(sum), literal);
                    EXPECT_EQ(actual, expected);
                    // Without a difference picture only the sum is made.
                    EXPECT_EQ(compareFramesWith(kernel, {reference.data(), current.data(), nullptr, bytes, noise,
                                                         threshold}),
                              sum);

                    // The fill reaches the image, never the sum.
                    EXPECT_EQ(compareFramesWith(kernel, {reference.data(), current.data(), filled.data(), bytes, noise,
                                                         threshold, kFill}),
                              sum);
                    for (size_t i = 0; i < bytes; ++i)
                        expected[i] |= kFillBytes[i % 4];
                    EXPECT_EQ(filled, expected);
                }
            }
        }

        std::uniform_int_distribution<uint32_t> length(0, 150);
        std::uniform_int_distribution<int> weight(0, 255);
        const size_t bytes = 4 * 333;
        std::vector<uint8_t> reference(bytes), current(bytes), literal(bytes);
        fillPair(random, reference, current);
        literalCompare(reference.data(), current.data(), literal.data(), 1, int32_t(bytes), true, 24);
        for (size_t covered : {bytes - 7, bytes + 40}) {
            SCOPED_TRACE(testing::Message() << "kernel " << int(kernel) << " covered " << covered);
            std::vector<WeightRun> runs;
            std::vector<uint8_t> actual(bytes, 0xAA), expected(bytes, 0xAA);
            uint64_t sum = 0;
            for (size_t at = 0; at < covered; at += runs.back().bytes) {
                const int pick = weight(random);
                const auto runWeight = static_cast<uint8_t>(pick < 60 ? 0 : pick < 120 ? 255 : pick);
                runs.push_back({std::min<uint32_t>(length(random), uint32_t(covered - at)), runWeight});
                for (size_t i = at; i < std::min(at + runs.back().bytes, bytes); ++i) {
                    sum += uint64_t{runWeight} * literal[i];
                    if (runWeight != 0)
                        expected[i] = static_cast<uint8_t>(literal[i] | kFillBytes[i % 4]);
                }
            }
            EXPECT_EQ(compareFramesWeightedWith(
                          kernel, {reference.data(), current.data(), actual.data(), bytes, true, 24, kFill}, runs),
                      sum);
            EXPECT_EQ(actual, expected);
            EXPECT_EQ(compareFramesWeightedWith(kernel, {reference.data(), current.data(), nullptr, bytes, true, 24},
                                                runs),
                      sum);
        }
    }
}

}  // namespace
