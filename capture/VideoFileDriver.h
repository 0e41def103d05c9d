#pragma once

#include "capture/AvStreamDriver.h"

// A video file played as a camera: paced at its frame rate, looped at its end.
class VideoFileDriver : public AvStreamDriver {
public:
    // Used when the file states no frame rate.
    static constexpr double kFallbackFrameRate = 25.0;

    explicit VideoFileDriver(QString path);

    bool open() override;
    std::optional<DriverFrame> readFrame() override;

private:
    QString path_;
    std::chrono::microseconds interval_{0};
};
