// Times the frame comparison against the plain double loop and against a
// streaming baseline (the memory limit), with frames in cache and with frame
// pairs rotated through a working set several times the last-level cache.
#include "detect/FrameCompare.h"
#include "bench/NoisyFrames.h"
#include "bench/StreamingBaseline.h"
#include "tests/detect/LiteralCompare.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr size_t kStreamedWorkingSet = size_t{192} << 20;  // 6 x a 32 MiB L3

enum class Kernel { Baseline, Fast, Sse2, Literal };
const char* kernelName(Kernel kernel)
{
    switch (kernel) {
    case Kernel::Baseline:
        return "baseline";
    case Kernel::Fast:
        return "fast";
    case Kernel::Sse2:
        return "sse2";
    case Kernel::Literal:
        return "literal";
    }
    return "";
}

struct FrameSize {
    int width;
    int height;
    size_t bytes() const { return size_t(width) * size_t(height) * 4; }
};
const FrameSize kSizes[] = {{320, 240}, {640, 480}, {1280, 720}, {1920, 1080}};

// Frame pairs per size and cache mode, made once and shared by every kernel.
std::vector<FramePair>& pairsFor(FrameSize size, bool streamed)
{
    static std::map<std::pair<size_t, bool>, std::vector<FramePair>> made;
    auto& pairs = made[{size.bytes(), streamed}];
    if (pairs.empty()) {
        const size_t count = streamed ? kStreamedWorkingSet / (3 * size.bytes()) + 1 : 1;
        for (size_t i = 0; i < count; ++i)
            pairs.push_back(makeNoisyPair(size.bytes(), uint32_t(2654435761u * (i + 1))));
    }
    return pairs;
}

void runKernel(Kernel kernel, bool noise, FrameSize size, FramePair& pair)
{
    switch (kernel) {
    case Kernel::Baseline:
        streamTwoIntoOne(pair.reference.data(), pair.current.data(), pair.difference.data(),
                         size.bytes());
        break;
    case Kernel::Fast:
        benchmark::DoNotOptimize(compareFrames({pair.reference.data(), pair.current.data(),
                                                pair.difference.data(), size.bytes(), noise, 32}));
        break;
    case Kernel::Sse2:
        benchmark::DoNotOptimize(compareFramesWith(
            CompareKernel::Sse2, {pair.reference.data(), pair.current.data(),
                                  pair.difference.data(), size.bytes(), noise, 32}));
        break;
    case Kernel::Literal:
        benchmark::DoNotOptimize(literalCompare(pair.reference.data(), pair.current.data(),
                                                pair.difference.data(), size.height,
                                                size.width * 4, noise, 32));
        break;
    }
    benchmark::ClobberMemory();
}

std::string caseName(Kernel kernel, bool noise, FrameSize size, bool streamed)
{
    return std::string(kernelName(kernel)) + (noise ? "+noise/" : "/") + std::to_string(size.width)
           + "x" + std::to_string(size.height) + (streamed ? "/streamed" : "/cached");
}

// Keeps each case's median processor time per iteration for the ratios. The
// machine is shared, so processor time of the median run is the steadier figure.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name == "median")
                microseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> microseconds;
};

void printRatios(const RatioReporter& reporter)
{
    auto time = [&](Kernel kernel, bool noise, FrameSize size, bool streamed) {
        const auto found = reporter.microseconds.find(caseName(kernel, noise, size, streamed));
        return found == reporter.microseconds.end() ? 0.0 : found->second;
    };
    std::printf("\nTime as a ratio to the streaming baseline (read two frames, write one);"
                " last columns: how many times faster than the plain double loop.\n");
    for (bool streamed : {false, true}) {
        std::printf("\n%s\n", streamed ? "frames streamed from memory (working set > L3)"
                                       : "frames in cache");
        std::printf("%-10s %12s %8s %11s %8s %11s %14s %17s\n", "size", "baseline us", "fast",
                    "fast+noise", "sse2", "sse2+noise", "literal/fast",
                    "literal+noise/f+n");
        for (FrameSize size : kSizes) {
            const double base = time(Kernel::Baseline, false, size, streamed);
            const double fast = time(Kernel::Fast, false, size, streamed);
            const double fastNoise = time(Kernel::Fast, true, size, streamed);
            std::printf("%4dx%-5d %12.1f %8.2f %11.2f %8.2f %11.2f %14.1f %17.1f\n", size.width,
                        size.height, base, fast / base, fastNoise / base,
                        time(Kernel::Sse2, false, size, streamed) / base,
                        time(Kernel::Sse2, true, size, streamed) / base,
                        time(Kernel::Literal, false, size, streamed) / fast,
                        time(Kernel::Literal, true, size, streamed) / fastNoise);
        }
    }
}

void registerCases()
{
    for (bool streamed : {false, true}) {
        for (FrameSize size : kSizes) {
            for (Kernel kernel : {Kernel::Baseline, Kernel::Fast, Kernel::Sse2, Kernel::Literal}) {
                for (bool noise : {false, true}) {
                    if (kernel == Kernel::Baseline && noise)
                        continue;
                    benchmark::RegisterBenchmark(
                        caseName(kernel, noise, size, streamed).c_str(),
                        [=](benchmark::State& state) {
                            std::vector<FramePair>& pairs = pairsFor(size, streamed);
                            size_t next = 0;
                            for (auto _ : state) {
                                runKernel(kernel, noise, size, pairs[next]);
                                next = next + 1 == pairs.size() ? 0 : next + 1;
                            }
                            state.SetBytesProcessed(int64_t(state.iterations())
                                                    * int64_t(size.bytes()));
                        })
                        ->Unit(benchmark::kMicrosecond)
                        ->MinTime(kernel == Kernel::Literal ? 0.1 : 0.2)
                        ->Repetitions(3)
                        ->ReportAggregatesOnly(true);
                }
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    registerCases();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
