#include "capture/VideoFileDriver.h"

#include <QFileInfo>

VideoFileDriver::VideoFileDriver(QString path) : path_(std::move(path)) {}

QString VideoFileDriver::name() const
{
    return QFileInfo(path_).fileName();
}

bool VideoFileDriver::open()
{
    if (!input_.open(path_) || input_.size().isEmpty()) {
        input_.close();
        return false;
    }
    const double rate = input_.frameRate() > 0 ? input_.frameRate() : kFallbackFrameRate;
    interval_ = std::chrono::microseconds(static_cast<int64_t>(1e6 / rate + 0.5));
    return true;
}

void VideoFileDriver::close()
{
    input_.close();
}

std::vector<QSize> VideoFileDriver::frameSizes() const
{
    return {input_.size()};
}

QSize VideoFileDriver::frameSize() const
{
    return input_.size();
}

bool VideoFileDriver::setFrameSize(QSize size)
{
    return size == input_.size();
}

std::vector<CaptureControl> VideoFileDriver::controls() const
{
    return {};
}

bool VideoFileDriver::setControl(uint32_t, int)
{
    return false;
}

std::optional<DriverFrame> VideoFileDriver::readFrame()
{
    QImage image;
    AvVideoInput::Read result = input_.read(image);
    if (result == AvVideoInput::Read::End && input_.rewind())
        result = input_.read(image);
    if (result != AvVideoInput::Read::Frame)
        return std::nullopt;
    return DriverFrame{image, interval_};
}
