// What keeping frames for pre-event recording costs at 640 x 480, as a share
// of one core: an MJPEG camera's packet is copied 30 times a second, any other
// camera's picture is encoded 10 times a second (PreEventBuffer::kEncodePeriod);
// a demo camera's picture is drawn for it too.
#include "capture/CameraFrame.h"
#include "capture/DemoScene.h"
#include "capture/FrameJpeg.h"
#include "capture/PreEventBuffer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace {

using namespace std::chrono_literals;

// An MJPEG camera's frame: the packet as it came from the device.
class PacketFrame final : public CameraFrame {
public:
    explicit PacketFrame(QByteArray jpeg) : CameraFrame({640, 480}), jpeg_(std::move(jpeg)) {}
    QByteArrayView jpegBytes() const override { return jpeg_; }

protected:
    QImage decode() const override { return decodeFrameJpeg(jpeg_); }

private:
    QByteArray jpeg_;
};

constexpr QSize kSize{640, 480};

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Percent of one core at `perSecond` frames a second, from the processor time per frame.
double coreShare(const benchmark::State& state, double seconds, double perSecond)
{
    return seconds / static_cast<double>(state.iterations()) * perSecond * 100.0;
}

void KeepMjpegPacket(benchmark::State& state)
{
    DemoScene scene;
    const PacketFrame frame(encodeFrameJpeg(scene.frame(kSize, 1000, {})->picture(), 75));
    PreEventBuffer buffer(10s);
    auto time = std::chrono::steady_clock::now();
    const double start = threadSeconds();
    for (auto _ : state) {
        buffer.keep(frame, time);
        time += 33ms;
    }
    state.counters["core_%_at_30fps"] = coreShare(state, threadSeconds() - start, 30);
    state.counters["kept_MiB"] = static_cast<double>(buffer.bytes()) / (1 << 20);
}

void KeepEncodedPicture(benchmark::State& state)
{
    DemoScene scene;
    PreEventBuffer buffer(10s);
    auto time = std::chrono::steady_clock::now();
    int64_t sceneMs = 0;
    const double start = threadSeconds();
    for (auto _ : state) {
        // A new frame each time, drawn (as the demo camera's are) only because it is kept.
        buffer.keep(*scene.frame(kSize, sceneMs += DemoScene::kFrameMs, {}), time);
        time += PreEventBuffer::kEncodePeriod;  // every frame is encoded
    }
    state.counters["core_%_at_10fps"] = coreShare(state, threadSeconds() - start, 10);
    state.counters["kept_MiB"] = static_cast<double>(buffer.bytes()) / (1 << 20);
}

}  // namespace

BENCHMARK(KeepMjpegPacket)->Unit(benchmark::kMicrosecond);
BENCHMARK(KeepEncodedPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
