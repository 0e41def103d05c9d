#pragma once

#include "capture/AvVideoInput.h"
#include "capture/V4l2Node.h"

// A /dev/video* node: ioctls on its own descriptor, frames through libavdevice.
class V4l2DeviceNode : public V4l2Node {
public:
    explicit V4l2DeviceNode(QString path);
    ~V4l2DeviceNode() override;

    QString path() const override;
    bool open() override;
    void close() override;
    int control(unsigned long request, void* argument) override;
    bool startStream(QSize size, uint32_t pixelFormat) override;
    void stopStream() override;
    std::shared_ptr<const CameraFrame> readFrame() override;

private:
    QString path_;
    int descriptor_ = -1;
    AvVideoInput stream_;
};
