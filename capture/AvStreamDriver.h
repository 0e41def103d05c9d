#pragma once

#include "capture/AvVideoInput.h"
#include "capture/CaptureDriver.h"

#include <mutex>

// What the drivers that read through libavformat share (video files, network
// cameras): one stream of one size, no controls.
class AvStreamDriver : public CaptureDriver {
public:
    void close() override;
    void interrupt() override;
    std::vector<QSize> frameSizes() const override;
    QSize frameSize() const override;
    bool setFrameSize(QSize size) override;
    std::vector<CaptureControl> controls() const override;
    bool setControl(uint32_t id, int value) override;

protected:
    // Opens `url` and keeps its size (kept while it is closed, for the window).
    bool openInput(const QString& url, const std::map<std::string, std::string>& options = {},
                   std::chrono::milliseconds timeout = AvVideoInput::kIoTimeout);

    AvVideoInput input_;  // the reader's

private:
    mutable std::mutex sizeMutex_;
    QSize size_;
};
