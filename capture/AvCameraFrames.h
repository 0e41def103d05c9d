#pragma once

#include "capture/AvFrameConverter.h"
#include "capture/CameraFrame.h"

#include <memory>

struct AVFrame;
struct AVPacket;

// An MJPEG frame kept as its compressed packet: decoded by FFmpeg when its whole
// picture is asked for, by libjpeg-turbo (small when the box is) for showing.
class JpegPacketFrame final : public CameraFrame {
public:
    // Takes over the reference of `packet`, leaving it blank.
    JpegPacketFrame(QSize size, AVPacket& packet, std::shared_ptr<AvFrameConverter> converter);
    ~JpegPacketFrame() override;

    QImage previewPicture(QSize box) const override;
    QByteArrayView jpegBytes() const override;

protected:
    QImage decode() const override;

private:
    AVPacket* packet_;
    std::shared_ptr<AvFrameConverter> converter_;
};

// A frame FFmpeg has decoded (other codecs must decode every frame in turn),
// converted to a picture only when asked.
class DecodedAvFrame final : public CameraFrame {
public:
    // Takes over the references of `decoded`, leaving it blank.
    DecodedAvFrame(AVFrame& decoded, std::shared_ptr<AvFrameConverter> converter);
    ~DecodedAvFrame() override;

protected:
    QImage decode() const override;

private:
    AVFrame* frame_;
    std::shared_ptr<AvFrameConverter> converter_;
};
