#include "capture/AvStreamDriver.h"

bool AvStreamDriver::openInput(const QString& url, const std::map<std::string, std::string>& options,
                               std::chrono::milliseconds timeout)
{
    if (!input_.open(url, nullptr, options, timeout) || input_.size().isEmpty()) {
        input_.close();
        return false;
    }
    std::lock_guard lock(sizeMutex_);
    size_ = input_.size();
    return true;
}

void AvStreamDriver::close()
{
    input_.close();
}

void AvStreamDriver::interrupt()
{
    input_.interrupt();
}

std::vector<QSize> AvStreamDriver::frameSizes() const
{
    const QSize size = frameSize();
    return size.isEmpty() ? std::vector<QSize>() : std::vector<QSize>{size};
}

QSize AvStreamDriver::frameSize() const
{
    std::lock_guard lock(sizeMutex_);
    return size_;
}

bool AvStreamDriver::setFrameSize(QSize size)
{
    return !size.isEmpty() && size == frameSize();
}

std::vector<CaptureControl> AvStreamDriver::controls() const
{
    return {};
}

bool AvStreamDriver::setControl(uint32_t, int)
{
    return false;
}
