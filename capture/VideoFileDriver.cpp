#include "capture/VideoFileDriver.h"

VideoFileDriver::VideoFileDriver(QString path) : path_(std::move(path)) {}

bool VideoFileDriver::open()
{
    if (!openInput(path_))
        return false;
    const double rate = input_.frameRate() > 0 ? input_.frameRate() : kFallbackFrameRate;
    interval_ = std::chrono::microseconds(static_cast<int64_t>(1e6 / rate + 0.5));
    return true;
}

std::optional<DriverFrame> VideoFileDriver::readFrame()
{
    std::shared_ptr<const CameraFrame> frame;
    AvVideoInput::Read result = input_.read(frame);
    if (result == AvVideoInput::Read::End && input_.rewind())
        result = input_.read(frame);
    if (result != AvVideoInput::Read::Frame)
        return std::nullopt;
    return DriverFrame{std::move(frame), interval_};
}
