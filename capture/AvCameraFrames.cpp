#include "capture/AvCameraFrames.h"

#include "capture/FrameJpeg.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

JpegPacketFrame::JpegPacketFrame(QSize size, AVPacket& packet, std::shared_ptr<AvFrameConverter> converter)
    : CameraFrame(size), packet_(av_packet_alloc()), converter_(std::move(converter))
{
    if (packet_)
        av_packet_move_ref(packet_, &packet);
}

JpegPacketFrame::~JpegPacketFrame()
{
    av_packet_free(&packet_);
}

QImage JpegPacketFrame::decode() const
{
    return packet_ ? converter_->decodeJpeg(*packet_) : QImage();
}

QImage JpegPacketFrame::previewPicture(QSize box) const
{
    const QImage shown = decodeFrameJpegForBox(jpegBytes(), box);
    return shown.isNull() ? picture() : shown;
}

QByteArrayView JpegPacketFrame::jpegBytes() const
{
    if (!packet_ || !packet_->data)
        return {};
    return {reinterpret_cast<const char*>(packet_->data), packet_->size};
}

DecodedAvFrame::DecodedAvFrame(AVFrame& decoded, std::shared_ptr<AvFrameConverter> converter)
    : CameraFrame({decoded.width, decoded.height}), frame_(av_frame_alloc()), converter_(std::move(converter))
{
    if (frame_)
        av_frame_move_ref(frame_, &decoded);
}

DecodedAvFrame::~DecodedAvFrame()
{
    av_frame_free(&frame_);
}

QImage DecodedAvFrame::decode() const
{
    return frame_ ? converter_->convert(*frame_) : QImage();
}
