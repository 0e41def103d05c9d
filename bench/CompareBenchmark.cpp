// Times the frame comparison against the plain double loop and against a
// streaming baseline (the memory limit), with frames in cache and with frame
// pairs rotated through a working set several times the last-level cache; and
// the comparison under masks against the comparison without one.
#include "detect/DetectionMask.h"
#include "detect/FrameCompare.h"
#include "bench/NoisyFrames.h"
#include "bench/StreamingBaseline.h"
#include "tests/detect/LiteralCompare.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
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
const FrameSize kMaskedSizes[] = {{640, 480}, {1920, 1080}};

// Masks as a user paints them on the editor's 32 x 24 grid.
enum class MaskKind { AllCounted, FourRectangles, TopHalfIgnored, LeftHalfIgnored, GreyWeights };
constexpr MaskKind kMaskKinds[] = {MaskKind::AllCounted, MaskKind::FourRectangles, MaskKind::TopHalfIgnored,
                                   MaskKind::LeftHalfIgnored, MaskKind::GreyWeights};
const char* maskName(MaskKind kind)
{
    switch (kind) {
    case MaskKind::AllCounted:
        return "all-255";
    case MaskKind::FourRectangles:
        return "four-rectangles";
    case MaskKind::TopHalfIgnored:
        return "top-half-ignored";
    case MaskKind::LeftHalfIgnored:
        return "left-half-ignored";
    case MaskKind::GreyWeights:
        return "grey-weights";
    }
    return "";
}

QImage maskPicture(MaskKind kind)
{
    QImage grid(32, 24, QImage::Format_Grayscale8);
    grid.fill(255);
    // A tree, a road, a television, a flag: a fifth of the picture.
    const QRect rectangles[] = {{0, 0, 6, 6}, {24, 0, 8, 5}, {0, 17, 9, 7}, {19, 14, 5, 4}};
    for (int y = 0; y < grid.height(); ++y) {
        uint8_t* line = grid.scanLine(y);
        for (int x = 0; x < grid.width(); ++x) {
            // The left half breaks every row in two runs; the top half is one run.
            if ((kind == MaskKind::TopHalfIgnored && y < grid.height() / 2)
                || (kind == MaskKind::LeftHalfIgnored && x < grid.width() / 2))
                line[x] = 0;
            if (kind == MaskKind::GreyWeights)
                line[x] = static_cast<uint8_t>(64 * (1 + (x * 7 + y * 3) % 4) - 1);
            for (const QRect& rectangle : rectangles)
                if (kind == MaskKind::FourRectangles && rectangle.contains(x, y))
                    line[x] = 0;
        }
    }
    return grid;
}

// The runs of a mask at a frame size, made once as the detector makes them per geometry.
const std::vector<WeightRun>& runsFor(MaskKind kind, FrameSize size)
{
    static std::map<std::pair<MaskKind, size_t>, std::vector<WeightRun>> made;
    auto& runs = made[{kind, size.bytes()}];
    if (runs.empty()) {
        DetectionMask mask(maskPicture(kind));
        const std::span<const WeightRun> stretched =
            mask.runsFor(QImage(size.width, size.height, QImage::Format_RGB32));
        runs.assign(stretched.begin(), stretched.end());
    }
    return runs;
}

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

std::string sizeAndMode(FrameSize size, bool streamed)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height) + (streamed ? "/streamed" : "/cached");
}

std::string caseName(Kernel kernel, bool noise, FrameSize size, bool streamed)
{
    return std::string(kernelName(kernel)) + (noise ? "+noise/" : "/") + sizeAndMode(size, streamed);
}

std::string maskedCaseName(MaskKind kind, FrameSize size, bool streamed)
{
    return std::string("masked-") + maskName(kind) + "/" + sizeAndMode(size, streamed);
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

double medianOf(const RatioReporter& reporter, const std::string& name)
{
    const auto found = reporter.microseconds.find(name);
    return found == reporter.microseconds.end() ? 0.0 : found->second;
}

void printRatios(const RatioReporter& reporter)
{
    auto time = [&](Kernel kernel, bool noise, FrameSize size, bool streamed) {
        return medianOf(reporter, caseName(kernel, noise, size, streamed));
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

    std::printf("\nMasked comparison as a ratio to the comparison without a mask (fast)\n");
    std::printf("%-20s %10s", "size", "fast us");
    for (MaskKind kind : kMaskKinds)
        std::printf(" %18s", maskName(kind));
    std::printf("\n");
    for (bool streamed : {false, true}) {
        for (FrameSize size : kMaskedSizes) {
            const double fast = time(Kernel::Fast, false, size, streamed);
            std::printf("%-20s %10.1f", sizeAndMode(size, streamed).c_str(), fast);
            for (MaskKind kind : kMaskKinds)
                std::printf(" %18.3f", medianOf(reporter, maskedCaseName(kind, size, streamed)) / fast);
            std::printf("\n");
        }
    }
}

// The cases share the frame pairs and the ratios; only what runs per iteration differs.
void registerCase(const std::string& name, FrameSize size, bool streamed, double minTime,
                  std::function<void(FramePair&)> run)
{
    benchmark::RegisterBenchmark(name.c_str(),
                                 [=](benchmark::State& state) {
                                     std::vector<FramePair>& pairs = pairsFor(size, streamed);
                                     size_t next = 0;
                                     for (auto _ : state) {
                                         run(pairs[next]);
                                         next = next + 1 == pairs.size() ? 0 : next + 1;
                                     }
                                     state.SetBytesProcessed(int64_t(state.iterations())
                                                             * int64_t(size.bytes()));
                                 })
        ->Unit(benchmark::kMicrosecond)
        ->MinTime(minTime)
        ->ReportAggregatesOnly(true);
}

void registerCases()
{
    for (bool streamed : {false, true}) {
        for (FrameSize size : kSizes) {
            for (Kernel kernel : {Kernel::Baseline, Kernel::Fast, Kernel::Sse2, Kernel::Literal}) {
                for (bool noise : {false, true}) {
                    if (kernel == Kernel::Baseline && noise)
                        continue;
                    registerCase(caseName(kernel, noise, size, streamed), size, streamed,
                                 kernel == Kernel::Literal ? 0.1 : 0.2,
                                 [=](FramePair& pair) { runKernel(kernel, noise, size, pair); });
                }
            }
        }
        for (FrameSize size : kMaskedSizes) {
            for (MaskKind kind : kMaskKinds) {
                const std::vector<WeightRun>& runs = runsFor(kind, size);
                registerCase(maskedCaseName(kind, size, streamed), size, streamed, 0.2, [size, &runs](FramePair& pair) {
                    benchmark::DoNotOptimize(compareFramesWeighted(
                        {pair.reference.data(), pair.current.data(), pair.difference.data(), size.bytes(), false, 32},
                        runs));
                    benchmark::ClobberMemory();
                });
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    registerCases();
    // Three repetitions unless --benchmark_repetitions says otherwise: the ratios need medians.
    std::vector<char*> arguments(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=3";
    arguments.insert(arguments.begin() + 1, repetitions.data());
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
