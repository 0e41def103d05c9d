#include "capture/CaptureWindow.h"

#include "capture/CaptureDialogProvider.h"
#include "capture/ClipRecorder.h"
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
    const DriverEntry& entry = drivers[static_cast<size_t>(index)];
    // The camera in use, picked again, keeps its connection: a second open fails
    // on a device node in use or a network camera that serves one viewer.
    if (reader_ && !reader_->sourceLost() && entry.source == driverSource_) {
        driverIndex_ = index;
        driverName_ = entry.name;
        return true;
    }
    std::unique_ptr<CaptureDriver> driver = entry.create();
    if (!driver)
        return false;
    // The new driver is opened before the old one is let go, so a failed connect
    // leaves the camera in use working.
    const bool opened = driver->open();
    if (!opened && !(driver->keptWhenAbsent() && !reader_))
        return false;
    const QSize size = driver->frameSize();
    replaceReader(nullptr, QSize());
    replaceReader(std::make_shared<FrameReader>(std::move(driver), opened), size);
    driverIndex_ = index;
    driverName_ = entry.name;
    driverSource_ = entry.source;
    return true;
}

void CaptureWindow::disconnectDriver()
{
    // The clip in progress is closed whole, its camera is going; its outcome
    // stays for whoever follows it.
    if (background_) {
        background_->stop();
        background_->wait();
    }
    replaceReader(nullptr, QSize());
    driverIndex_ = -1;
    driverName_.clear();
    driverSource_.clear();
}

QString CaptureWindow::driverName() const
{
    return driverName_;
}

QString CaptureWindow::driverSource() const
{
    return driverSource_;
}

bool CaptureWindow::sourceLost() const
{
    const std::shared_ptr<FrameReader> reader = sharedReader();
    return reader && reader->sourceLost();
}

void CaptureWindow::replaceReader(std::shared_ptr<FrameReader> reader, QSize size)
{
    std::shared_ptr<FrameReader> old;
    {
        std::lock_guard lock(sharedMutex_);
        old = std::exchange(reader_, std::move(reader));
        driverSize_ = size;
    }
    // Frames of another camera have no place in this one's clips.
    if (preEvent_)
        preEvent_->clear();
    if (reader_)
        reader_->keepRecentFrames(preEvent_);
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
    return reader_->driver().frameSizes();
}

bool CaptureWindow::setFrameSize(QSize size)
{
    if (!reader_ || !reader_->driver().setFrameSize(size))
        return false;
    reader_->dropLatest();
    if (preEvent_)
        preEvent_->clear();
    const QSize actual = reader_->driver().frameSize();
    std::lock_guard lock(sharedMutex_);
    driverSize_ = actual;
    return true;
}

std::vector<CaptureControl> CaptureWindow::controls() const
{
    if (!reader_)
        return {};
    return reader_->driver().controls();
}

bool CaptureWindow::setControl(uint32_t id, int value)
{
    return reader_ && reader_->driver().setControl(id, value);
}

QSize CaptureWindow::frameSize() const
{
    if (const std::shared_ptr<const CameraFrame> latest = latestCameraFrame())
        return latest->size();
    std::lock_guard lock(sharedMutex_);
    return driverSize_;
}

std::shared_ptr<const CameraFrame> CaptureWindow::latestCameraFrame(FrameStamp* stamp) const
{
    const std::shared_ptr<FrameReader> reader = sharedReader();
    FrameReader::Latest latest;
    if (reader)
        latest = reader->latest();
    if (stamp)
        *stamp = latest.stamp;
    return latest.frame;
}

QImage CaptureWindow::latestFrame(uint64_t* number) const
{
    FrameStamp stamp;
    const std::shared_ptr<const CameraFrame> latest = latestCameraFrame(&stamp);
    if (number)
        *number = stamp.number;
    return latest ? latest->picture() : QImage();
}

bool CaptureWindow::waitForFrameAfter(uint64_t after, std::chrono::milliseconds timeout, uint64_t* number) const
{
    const std::shared_ptr<FrameReader> reader = sharedReader();
    return reader && reader->waitForFrameAfter(after, timeout, number);
}

bool CaptureWindow::grabFrame()
{
    grabbed_ = latestCameraFrame(&grabbedStamp_);
    preview_ = false;
    return grabbed_ != nullptr;
}

QImage CaptureWindow::grabbedFrame() const
{
    return grabbed_ ? grabbed_->picture() : QImage();
}

FrameStamp CaptureWindow::grabbedFrameStamp() const
{
    return grabbedStamp_;
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

void CaptureWindow::setPreEventLength(std::chrono::seconds length)
{
    if (length == preEventLength())
        return;
    preEvent_ = length > std::chrono::seconds::zero() ? std::make_shared<PreEventBuffer>(length) : nullptr;
    if (reader_)
        reader_->keepRecentFrames(preEvent_);
}

std::chrono::seconds CaptureWindow::preEventLength() const
{
    return preEvent_ ? std::chrono::duration_cast<std::chrono::seconds>(preEvent_->length()) : std::chrono::seconds::zero();
}

std::shared_ptr<const PreEventBuffer> CaptureWindow::preEventBuffer() const
{
    return preEvent_;
}

ClipRecorder* CaptureWindow::backgroundRecording() const
{
    return background_.get();
}

void CaptureWindow::setBackgroundRecording(std::unique_ptr<ClipRecorder> recorder)
{
    background_ = std::move(recorder);
}

std::unique_ptr<ClipRecorder> CaptureWindow::takeBackgroundRecording()
{
    return std::move(background_);
}
