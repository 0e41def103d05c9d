#pragma once

#include "capture/CameraFrame.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>

// One V4L2 device node as the V4L2 driver uses it: the ioctls that describe and
// adjust the device, and a stream of frames. V4l2DeviceNode is the real one;
// tests supply a node of their own, since no camera exists there. The stream
// calls come from one thread; control() may come from another meanwhile.
class V4l2Node {
public:
    virtual ~V4l2Node() = default;
    virtual QString path() const = 0;
    virtual bool open() = 0;
    virtual void close() = 0;
    // ioctl() on the open node: 0, or -1 with errno set.
    virtual int control(unsigned long request, void* argument) = 0;
    // Starts delivering frames of `size` in `pixelFormat` (a V4L2 fourcc).
    virtual bool startStream(QSize size, uint32_t pixelFormat) = 0;
    virtual void stopStream() = 0;
    // The next frame, null when the stream failed.
    virtual std::shared_ptr<const CameraFrame> readFrame() = 0;
};
