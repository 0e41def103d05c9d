#include "capture/CaptureWindow.h"

#include "capture/CaptureDialogProvider.h"
#include "capture/DriverRegistry.h"

extern "C" {
#include <libavutil/avutil.h>
}

CaptureWindow* hCapWnd = nullptr;

namespace {

// Frames handed from capEditCopy to whoever reads them next, in place of the
// desktop clipboard (which the watcher would otherwise wipe on every tick).
QImage frameBuffer;

// The program never installs a callback: only clearing one is supported.
bool clearCallback(CaptureWindow* window, void* callback)
{
    return window && !callback && window->isConnected();
}

}  // namespace

bool capDriverConnect(CaptureWindow* window, int driverIndex)
{
    return window && window->connectDriver(driverIndex);
}

bool capDriverDisconnect(CaptureWindow* window)
{
    if (!window || !window->isConnected())
        return false;
    // A recording in progress has no camera left: end the clip with what it has.
    capCaptureStop(window);
    window->disconnectDriver();
    return true;
}

bool capDriverGetCaps(CaptureWindow* window, CAPDRIVERCAPS* caps, int size)
{
    if (!window || !caps || size < static_cast<int>(sizeof(CAPDRIVERCAPS)) || !window->isConnected())
        return false;
    *caps = CAPDRIVERCAPS();
    caps->wDeviceIndex = static_cast<uint32_t>(window->driverIndex());
    const uint32_t hasDialogs = window->dialogProvider() ? 1 : 0;
    caps->fHasDlgVideoSource = hasDialogs;
    caps->fHasDlgVideoFormat = hasDialogs;
    caps->fCaptureInitialized = 1;
    return true;
}

bool capGetStatus(CaptureWindow* window, CAPSTATUS* status, int size)
{
    if (!window || !status || size < static_cast<int>(sizeof(CAPSTATUS)) || !window->isConnected())
        return false;
    const QSize frameSize = window->frameSize();
    status->uiImageWidth = static_cast<uint32_t>(frameSize.width());
    status->uiImageHeight = static_cast<uint32_t>(frameSize.height());
    return true;
}

bool capDlgVideoFormat(CaptureWindow* window)
{
    return window && window->isConnected() && window->dialogProvider() &&
           window->dialogProvider()->showVideoFormat(*window);
}

bool capDlgVideoSource(CaptureWindow* window)
{
    return window && window->isConnected() && window->dialogProvider() &&
           window->dialogProvider()->showVideoSource(*window);
}

bool capDlgVideoCompression(CaptureWindow* window)
{
    return window && window->isConnected() && window->dialogProvider() &&
           window->dialogProvider()->showVideoCompression(*window);
}

bool capPreview(CaptureWindow* window, bool show)
{
    if (!window || !window->isConnected())
        return false;
    window->setPreview(show);
    return true;
}

bool capPreviewRate(CaptureWindow* window, int milliseconds)
{
    if (!window || !window->isConnected() || milliseconds <= 0)
        return false;
    window->setPreviewRate(milliseconds);
    return true;
}

bool capPreviewScale(CaptureWindow* window, bool scale)
{
    if (!window || !window->isConnected())
        return false;
    window->setPreviewScale(scale);
    return true;
}

bool capSetCallbackOnError(CaptureWindow* window, void* callback)
{
    return clearCallback(window, callback);
}

bool capSetCallbackOnStatus(CaptureWindow* window, void* callback)
{
    return clearCallback(window, callback);
}

bool capSetCallbackOnYield(CaptureWindow* window, void* callback)
{
    return clearCallback(window, callback);
}

bool capSetCallbackOnFrame(CaptureWindow* window, void* callback)
{
    return clearCallback(window, callback);
}

bool capSetCallbackOnVideoStream(CaptureWindow* window, void* callback)
{
    return clearCallback(window, callback);
}

bool capSetCallbackOnWaveStream(CaptureWindow* window, void* callback)
{
    return clearCallback(window, callback);
}

bool capSetCallbackOnCapControl(CaptureWindow* window, void* callback)
{
    return clearCallback(window, callback);
}

bool capGrabFrame(CaptureWindow* window)
{
    return window && window->grabFrame();
}

bool capEditCopy(CaptureWindow* window)
{
    if (!window)
        return false;
    const QImage grabbed = window->grabbedFrame();
    if (grabbed.isNull())
        return false;
    frameBuffer = grabbed;
    return true;
}

bool capGetDriverDescriptionA(int index, QString& name, QString& version)
{
    if (index < 0 || index >= kMaxDrivers)
        return false;
    const std::vector<DriverEntry> drivers = captureDrivers();
    if (index >= static_cast<int>(drivers.size()))
        return false;
    name = drivers[static_cast<size_t>(index)].name;
    version = QString::fromLatin1(av_version_info());
    return true;
}

bool frameBufferHasFrame()
{
    return !frameBuffer.isNull();
}

QImage frameBufferFrame()
{
    return frameBuffer;
}

void frameBufferClear()
{
    frameBuffer = QImage();
}
