#pragma once

#include "capture/AvVideoInput.h"
#include "capture/CaptureDriver.h"

// A video file played as a camera: paced at its frame rate, looped at its end.
class VideoFileDriver : public CaptureDriver {
public:
    // Used when the file states no frame rate.
    static constexpr double kFallbackFrameRate = 25.0;

    explicit VideoFileDriver(QString path);

    QString name() const override;
    bool open() override;
    void close() override;
    std::vector<QSize> frameSizes() const override;
    QSize frameSize() const override;
    bool setFrameSize(QSize size) override;
    std::vector<CaptureControl> controls() const override;
    bool setControl(uint32_t id, int value) override;
    std::optional<DriverFrame> readFrame() override;

private:
    QString path_;
    AvVideoInput input_;
    std::chrono::microseconds interval_{0};
};
