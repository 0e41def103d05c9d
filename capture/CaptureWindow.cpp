#include "capture/CaptureWindow.h"

#include "capture/CaptureDialogProvider.h"
#include "capture/DriverRegistry.h"
#include "capture/FrameReader.h"

#include <utility>

CaptureWindow::CaptureWindow() = default;

CaptureWindow::~CaptureWindow()
{
    disconnectDriver();
}

bool CaptureWindow::connectDriver(int index)
{
    if (index < 0 || index >= kMaxDrivers)
        return false;
    std::vector<DriverEntry> drivers = captureDrivers();
    if (index >= static_cast<int>(drivers.size()))
        return false;
    std::unique_ptr<CaptureDriver> driver = drivers[static_cast<size_t>(index)].create();
    // The new driver is opened before the old one is let go, so a failed connect
    // leaves the camera in use working.
    if (!driver || !driver->open())
        return false;
    const QSize size = driver->frameSize();
    replaceReader(nullptr, QSize());
    replaceReader(std::make_shared<FrameReader>(std::move(driver)), size);
    driverIndex_ = index;
    return true;
}

void CaptureWindow::disconnectDriver()
{
    replaceReader(nullptr, QSize());
    driverIndex_ = -1;
}

void CaptureWindow::replaceReader(std::shared_ptr<FrameReader> reader, QSize size)
{
    std::shared_ptr<FrameReader> old;
    {
        std::lock_guard lock(sharedMutex_);
        old = std::exchange(reader_, std::move(reader));
        driverSize_ = size;
    }
    // Joining the old reader's thread happens outside the lock, and only once no
    // other thread still holds the reader.
    old.reset();
}

std::shared_ptr<FrameReader> CaptureWindow::sharedReader() const
{
    std::lock_guard lock(sharedMutex_);
    return reader_;
}

bool CaptureWindow::isConnected() const
{
    return reader_ != nullptr;
}

int CaptureWindow::driverIndex() const
{
    return driverIndex_;
}

std::vector<QSize> CaptureWindow::frameSizes() const
{
    if (!reader_)
        return {};
    return reader_->withDriver([](CaptureDriver& driver) { return driver.frameSizes(); });
}

bool CaptureWindow::setFrameSize(QSize size)
{
    if (!reader_)
        return false;
    QSize actual;
    const bool changed = reader_->withDriver([&](CaptureDriver& driver) {
        const bool accepted = driver.setFrameSize(size);
        actual = driver.frameSize();
        return accepted;
    });
    if (!changed)
        return false;
    reader_->dropLatest();
    std::lock_guard lock(sharedMutex_);
    driverSize_ = actual;
    return true;
}

std::vector<CaptureControl> CaptureWindow::controls() const
{
    if (!reader_)
        return {};
    return reader_->withDriver([](CaptureDriver& driver) { return driver.controls(); });
}

bool CaptureWindow::setControl(uint32_t id, int value)
{
    if (!reader_)
        return false;
    return reader_->withDriver([&](CaptureDriver& driver) { return driver.setControl(id, value); });
}

QSize CaptureWindow::frameSize() const
{
    const QImage latest = latestFrame();
    if (!latest.isNull())
        return latest.size();
    std::lock_guard lock(sharedMutex_);
    return driverSize_;
}

QImage CaptureWindow::latestFrame(uint64_t* number) const
{
    const std::shared_ptr<FrameReader> reader = sharedReader();
    if (!reader) {
        if (number)
            *number = 0;
        return {};
    }
    return reader->latest(number);
}

bool CaptureWindow::waitForFrameAfter(uint64_t after, std::chrono::milliseconds timeout, QImage* frame,
                                      uint64_t* number) const
{
    const std::shared_ptr<FrameReader> reader = sharedReader();
    return reader && reader->waitForFrameAfter(after, timeout, frame, number);
}

bool CaptureWindow::grabFrame()
{
    grabbed_ = latestFrame();
    preview_ = false;
    return !grabbed_.isNull();
}

QImage CaptureWindow::grabbedFrame() const
{
    return grabbed_;
}

void CaptureWindow::setPreview(bool on)
{
    preview_ = on;
}

bool CaptureWindow::previewing() const
{
    return preview_;
}

void CaptureWindow::setPreviewRate(int milliseconds)
{
    previewRate_ = std::max(1, milliseconds);
}

int CaptureWindow::previewRate() const
{
    return previewRate_;
}

void CaptureWindow::setPreviewScale(bool on)
{
    previewScale_ = on;
}

bool CaptureWindow::previewScale() const
{
    return previewScale_;
}

void CaptureWindow::setDialogProvider(std::shared_ptr<CaptureDialogProvider> provider)
{
    dialogs_ = std::move(provider);
}

CaptureDialogProvider* CaptureWindow::dialogProvider() const
{
    return dialogs_.get();
}

CAPTUREPARMS CaptureWindow::sequenceSetup() const
{
    return sequenceSetup_;
}

void CaptureWindow::setSequenceSetup(const CAPTUREPARMS& parms)
{
    sequenceSetup_ = parms;
}

QString CaptureWindow::captureFile() const
{
    return captureFile_;
}

void CaptureWindow::setCaptureFile(const QString& path)
{
    captureFile_ = path;
}

ClipCompression CaptureWindow::compression() const
{
    return compression_;
}

void CaptureWindow::setCompression(const ClipCompression& compression)
{
    compression_ = compression;
}
