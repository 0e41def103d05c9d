#include "capture/CaptureWindow.h"

#include "capture/CaptureDialogProvider.h"
#include "capture/DriverRegistry.h"

extern "C" {
#include <libavutil/avutil.h>
}

CaptureWindow* hCapWnd = nullptr;

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
    caps->wDeviceIndex = static_cast<uint32_t>(window->driverIndex());
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

bool capGrabFrame(CaptureWindow* window)
{
    return window && window->grabFrame();
}

QImage grabStillPicture(CaptureWindow* window, FrameStamp* stamp)
{
    if (!capGrabFrame(window))
        return {};
    if (stamp != nullptr)
        *stamp = window->grabbedFrameStamp();
    return window->grabbedFrame();
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
