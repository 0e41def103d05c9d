#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>

#include <mutex>

// One frame as its source delivered it, turned into a picture only when someone
// looks at it: the reader keeps the newest frame without decoding it, so frames
// that nobody uses cost nothing beyond reading them.
//
// Frames are immutable once made and shared (std::shared_ptr<const CameraFrame>)
// between the reader and whoever uses them; every member is safe from any thread.
class CameraFrame {
public:
    explicit CameraFrame(QSize size) : size_(size) {}
    virtual ~CameraFrame() = default;
    CameraFrame(const CameraFrame&) = delete;
    CameraFrame& operator=(const CameraFrame&) = delete;

    // The size of the whole picture, known without decoding.
    QSize size() const { return size_; }

    // The whole picture in Format_RGB32, as the detector, snapshots and clips
    // use it: decoded on the first call, then kept. Null when it cannot be decoded.
    QImage picture() const;

    // A picture for a box of `box` device pixels: never smaller than the box
    // (unless the frame is), possibly smaller than the frame when the source
    // can decode small pictures cheaply. Only for showing: it may differ from
    // picture() by rounding. Not kept.
    virtual QImage previewPicture(QSize /*box*/) const { return picture(); }

    // The frame as the source compressed it, when that is one whole JPEG image
    // (an MJPEG camera, file or stream); empty otherwise. The bytes live as long
    // as the frame. A store of recent frames keeps these rather than pictures;
    // a packet from a V4L2 device may hold one of the device's buffers, so a
    // store that keeps many for long copies the bytes.
    virtual QByteArrayView jpegBytes() const { return {}; }

protected:
    // Makes the whole picture; called at most once per frame.
    virtual QImage decode() const = 0;

private:
    QSize size_;
    mutable std::mutex pictureMutex_;
    mutable bool decoded_ = false;
    mutable QImage picture_;
};

// A frame that is already a picture (the demo camera, a device node of the tests).
class PictureFrame final : public CameraFrame {
public:
    explicit PictureFrame(QImage picture);

protected:
    QImage decode() const override { return picture_; }

private:
    QImage picture_;
};
