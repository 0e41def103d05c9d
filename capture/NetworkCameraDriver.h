#pragma once

#include "capture/AvStreamDriver.h"

// A camera on the network (MJPEG over HTTP, H.264 or MJPEG over RTSP, ...): read
// live at the camera's own pace, never re-timed. Opening and every read are
// bounded by kTimeout; a stream that drops is reopened every kReopenDelay. The
// URL may carry a user name and password; what is shown or logged of it is masked.
class NetworkCameraDriver : public AvStreamDriver {
public:
    static constexpr std::chrono::milliseconds kTimeout{5000};
    static constexpr std::chrono::milliseconds kReopenDelay{3000};

    explicit NetworkCameraDriver(QString url);

    bool open() override;
    bool keptWhenAbsent() const override { return true; }
    std::chrono::milliseconds reopenDelay() const override { return kReopenDelay; }
    std::optional<DriverFrame> readFrame() override;

private:
    QString url_;
};
