#include "capture/NetworkCameraDriver.h"

NetworkCameraDriver::NetworkCameraDriver(QString url) : url_(std::move(url)) {}

bool NetworkCameraDriver::open()
{
    // RTSP over TCP: no lost packets, so no broken pictures on a busy network.
    std::map<std::string, std::string> options;
    if (url_.startsWith(QLatin1String("rtsp"), Qt::CaseInsensitive))
        options["rtsp_transport"] = "tcp";
    return openInput(url_, options, kTimeout);
}

std::optional<DriverFrame> NetworkCameraDriver::readFrame()
{
    std::shared_ptr<const CameraFrame> frame;
    // The end of a live stream is the camera going away, like an error.
    if (input_.read(frame) != AvVideoInput::Read::Frame)
        return std::nullopt;
    return DriverFrame{std::move(frame), std::chrono::microseconds(0)};
}
