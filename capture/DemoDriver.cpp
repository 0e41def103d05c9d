#include "capture/DemoDriver.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex clockMutex;
SceneClock programClock;

struct ControlRange {
    uint32_t id;
    const char* name;
    int minimum, maximum, defaultValue;
    int DemoSceneParams::*field;
};

const ControlRange kControls[] = {
    {DemoDriver::kBrightness, "Brightness", -100, 100, 0, &DemoSceneParams::brightness},
    {DemoDriver::kIntruderPeriod, "Intruder period (s)", 5, 600, 30, &DemoSceneParams::intruderPeriodSeconds},
    {DemoDriver::kNoise, "Sensor noise", 0, 20, 3, &DemoSceneParams::noise},
};

}  // namespace

DemoDriver::DemoDriver()
{
    bool isNumber = false;
    const int period = qEnvironmentVariableIntValue("HOUNDLY_DEMO_PERIOD", &isNumber);
    if (isNumber)
        setControl(kIntruderPeriod, period);
}

void setDemoSceneClock(SceneClock clock)
{
    std::lock_guard lock(clockMutex);
    programClock = std::move(clock);
}

QString DemoDriver::driverName()
{
    return QStringLiteral("demo");
}

bool DemoDriver::open()
{
    openedAt_ = std::chrono::steady_clock::now();
    return true;
}

void DemoDriver::close() {}

std::vector<QSize> DemoDriver::frameSizes() const
{
    return {{160, 120}, {320, 240}, {640, 480}};
}

QSize DemoDriver::frameSize() const
{
    std::lock_guard lock(settingsMutex_);
    return size_;
}

bool DemoDriver::setFrameSize(QSize size)
{
    const auto sizes = frameSizes();
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end())
        return false;
    std::lock_guard lock(settingsMutex_);
    size_ = size;
    return true;
}

std::vector<CaptureControl> DemoDriver::controls() const
{
    std::lock_guard lock(settingsMutex_);
    std::vector<CaptureControl> result;
    for (const ControlRange& range : kControls) {
        CaptureControl control;
        control.id = range.id;
        control.name = QString::fromLatin1(range.name);
        control.minimum = range.minimum;
        control.maximum = range.maximum;
        control.defaultValue = range.defaultValue;
        control.value = params_.*range.field;
        result.push_back(control);
    }
    return result;
}

bool DemoDriver::setControl(uint32_t id, int value)
{
    for (const ControlRange& range : kControls) {
        if (range.id == id) {
            std::lock_guard lock(settingsMutex_);
            params_.*range.field = std::clamp(value, range.minimum, range.maximum);
            return true;
        }
    }
    return false;
}

int64_t DemoDriver::sceneMs() const
{
    {
        std::lock_guard lock(clockMutex);
        if (programClock)
            return programClock();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - openedAt_)
        .count();
}

std::optional<DriverFrame> DemoDriver::readFrame()
{
    QSize size;
    DemoSceneParams params;
    {
        std::lock_guard lock(settingsMutex_);
        size = size_;
        params = params_;
    }
    return DriverFrame{scene_.frame(size, sceneMs(), params), std::chrono::milliseconds(DemoScene::kFrameMs)};
}
