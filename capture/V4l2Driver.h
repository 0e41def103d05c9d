#pragma once

#include "capture/CaptureDriver.h"
#include "capture/V4l2Node.h"

#include <memory>
#include <mutex>

// A V4L2 camera: described and adjusted with V4L2 ioctls, read as a stream of
// frames. The frame size chosen survives the camera being unplugged and plugged
// in again. A new size is taken up by the reader at its next frame, so the
// window never waits for a read in progress.
class V4l2Driver : public CaptureDriver {
public:
    explicit V4l2Driver(std::unique_ptr<V4l2Node> node);

    // The card name of a video capture node, "" for any other node or an absent one.
    static QString captureDeviceName(V4l2Node& node);

    bool open() override;
    void close() override;
    std::vector<QSize> frameSizes() const override;
    QSize frameSize() const override;
    bool setFrameSize(QSize size) override;
    std::vector<CaptureControl> controls() const override;
    bool setControl(uint32_t id, int value) override;
    std::optional<DriverFrame> readFrame() override;

private:
    uint32_t choosePixelFormat();
    std::vector<QSize> enumerateSizes(uint32_t pixelFormat);
    QSize currentDeviceSize();

    std::unique_ptr<V4l2Node> node_;
    // Guards the node's descriptor and everything below it; never held across a read.
    mutable std::mutex mutex_;
    uint32_t pixelFormat_ = 0;
    std::vector<QSize> sizes_;
    QSize size_;
    bool restartStream_ = false;  // a new size waits for the reader

    bool streaming_ = false;  // the reader's
};
