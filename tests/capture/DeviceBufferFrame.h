#pragma once

#include "capture/CameraFrame.h"
#include "capture/FrameJpeg.h"

#include <QByteArray>
#include <QColor>
#include <QImage>

// A frame as an MJPEG camera delivers it: its bytes live in a buffer the
// "device" owns and fills again, as V4L2 does with its mapped buffers.
class DeviceBufferFrame final : public CameraFrame {
public:
    explicit DeviceBufferFrame(const QByteArray& deviceBuffer, QSize size = {64, 48})
        : CameraFrame(size), buffer_(deviceBuffer)
    {
    }
    QByteArrayView jpegBytes() const override { return buffer_; }

protected:
    QImage decode() const override { return decodeFrameJpeg(buffer_); }

private:
    const QByteArray& buffer_;
};

inline QImage greyPicture(int level, QSize size = {64, 48})
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(level, level, level));
    return picture;
}

// The mean grey of a picture, which tells the flat test pictures apart.
inline int meanGrey(const QImage& picture)
{
    const QImage small = picture.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return qGray(small.pixel(0, 0));
}

