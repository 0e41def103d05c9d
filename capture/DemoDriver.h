#pragma once

#include "capture/CaptureDriver.h"
#include "capture/DemoScene.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

// Scene time in milliseconds.
using SceneClock = std::function<int64_t()>;

// Makes every demo camera read its scene time from `clock` (tests use it to put the
// intruder in view on purpose); an empty clock restores real time since the camera opened.
void setDemoSceneClock(SceneClock clock);

// The built-in camera: the synthetic room of DemoScene at 15 frames a second,
// each drawn only when its picture is used. $HOUNDLY_DEMO_PERIOD sets the intruder
// period it starts with (5..600 s), so a headless trial or a test need not wait
// half a minute for the first crossing.
class DemoDriver : public CaptureDriver {
public:
    DemoDriver();

    // Control ids of the source dialog.
    static constexpr uint32_t kBrightness = 1;
    static constexpr uint32_t kIntruderPeriod = 2;
    static constexpr uint32_t kNoise = 3;

    static QString driverName();

    bool open() override;
    void close() override;
    std::vector<QSize> frameSizes() const override;
    QSize frameSize() const override;
    bool setFrameSize(QSize size) override;
    std::vector<CaptureControl> controls() const override;
    bool setControl(uint32_t id, int value) override;
    std::optional<DriverFrame> readFrame() override;

private:
    int64_t sceneMs() const;

    DemoScene scene_;  // the reader's
    mutable std::mutex settingsMutex_;
    DemoSceneParams params_;
    QSize size_{640, 480};
    std::chrono::steady_clock::time_point openedAt_ = std::chrono::steady_clock::now();
};
