#include "capture/AvFrameConverter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

// swscale takes the full-range ("J") formats only as their plain layout with
// the source range set; given them directly it warns and, since the format it
// keeps differs from the one asked, rebuilds its context for every frame.
AVPixelFormat plainLayout(AVPixelFormat format, bool& fullRange)
{
    fullRange = true;
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        return AV_PIX_FMT_YUV411P;
    default:
        fullRange = false;
        return format;
    }
}

}  // namespace

AvFrameConverter::AvFrameConverter(const AVCodecParameters& stream) : stream_(avcodec_parameters_alloc())
{
    if (stream_)
        avcodec_parameters_copy(stream_, &stream);
}

AvFrameConverter::~AvFrameConverter()
{
    sws_freeContext(scaler_);
    av_frame_free(&jpegDecoded_);
    avcodec_free_context(&jpegDecoder_);
    avcodec_parameters_free(&stream_);
}

QImage AvFrameConverter::convert(const AVFrame& frame)
{
    std::lock_guard lock(mutex_);
    return convertLocked(frame);
}

QImage AvFrameConverter::convertLocked(const AVFrame& frame)
{
    if (frame.width <= 0 || frame.height <= 0)
        return {};
    if (!scaler_ || frame.width != scalerWidth_ || frame.height != scalerHeight_ || frame.format != scalerFormat_) {
        sws_freeContext(scaler_);
        scalerFormat_ = -1;
        bool fullRange = false;
        const AVPixelFormat layout = plainLayout(static_cast<AVPixelFormat>(frame.format), fullRange);
        scaler_ = sws_alloc_context();
        if (!scaler_)
            return {};
        av_opt_set_int(scaler_, "srcw", frame.width, 0);
        av_opt_set_int(scaler_, "srch", frame.height, 0);
        av_opt_set_int(scaler_, "src_format", layout, 0);
        av_opt_set_int(scaler_, "src_range", fullRange ? 1 : 0, 0);
        av_opt_set_int(scaler_, "dstw", frame.width, 0);
        av_opt_set_int(scaler_, "dsth", frame.height, 0);
        av_opt_set_int(scaler_, "dst_format", AV_PIX_FMT_RGB32, 0);
        av_opt_set_int(scaler_, "sws_flags", SWS_BILINEAR, 0);
        if (sws_init_context(scaler_, nullptr, nullptr) < 0) {
            sws_freeContext(scaler_);
            scaler_ = nullptr;
            return {};
        }
        scalerWidth_ = frame.width;
        scalerHeight_ = frame.height;
        scalerFormat_ = frame.format;
    }
    QImage picture(frame.width, frame.height, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    uint8_t* planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(picture.bytesPerLine()), 0, 0, 0};
    if (sws_scale(scaler_, frame.data, frame.linesize, 0, frame.height, planes, strides) != frame.height)
        return {};
    return picture;
}

bool AvFrameConverter::openJpegDecoderLocked()
{
    if (jpegDecoder_)
        return true;
    const AVCodec* codec = stream_ ? avcodec_find_decoder(stream_->codec_id) : nullptr;
    if (!codec)
        return false;
    jpegDecoder_ = avcodec_alloc_context3(codec);
    jpegDecoded_ = av_frame_alloc();
    if (!jpegDecoder_ || !jpegDecoded_ || avcodec_parameters_to_context(jpegDecoder_, stream_) < 0 ||
        avcodec_open2(jpegDecoder_, codec, nullptr) < 0) {
        avcodec_free_context(&jpegDecoder_);
        return false;
    }
    return true;
}

QImage AvFrameConverter::decodeJpeg(const AVPacket& packet)
{
    std::lock_guard lock(mutex_);
    if (!openJpegDecoderLocked() || avcodec_send_packet(jpegDecoder_, &packet) < 0)
        return {};
    // Every JPEG packet is a whole picture: what goes in comes out at once.
    if (avcodec_receive_frame(jpegDecoder_, jpegDecoded_) < 0)
        return {};
    QImage picture = convertLocked(*jpegDecoded_);
    av_frame_unref(jpegDecoded_);
    return picture;
}
