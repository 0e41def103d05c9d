#include "capture/AvVideoInput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <mutex>

AvVideoInput::~AvVideoInput()
{
    close();
}

int AvVideoInput::interrupted(void* self)
{
    return std::chrono::steady_clock::now() > static_cast<AvVideoInput*>(self)->deadline_ ? 1 : 0;
}

void AvVideoInput::armDeadline()
{
    deadline_ = std::chrono::steady_clock::now() + kIoTimeout;
}

bool AvVideoInput::open(const QString& url, const char* inputFormat,
                        const std::map<std::string, std::string>& options)
{
    close();
    static std::once_flag devicesRegistered;
    std::call_once(devicesRegistered, [] { avdevice_register_all(); });

    const AVInputFormat* format = nullptr;
    if (inputFormat && !(format = av_find_input_format(inputFormat)))
        return false;
    AVDictionary* dictionary = nullptr;
    for (const auto& [key, value] : options)
        av_dict_set(&dictionary, key.c_str(), value.c_str(), 0);

    format_ = avformat_alloc_context();
    format_->interrupt_callback = {&AvVideoInput::interrupted, this};
    armDeadline();
    const int opened = avformat_open_input(&format_, url.toUtf8().constData(), format, &dictionary);
    av_dict_free(&dictionary);
    if (opened < 0) {
        format_ = nullptr;  // freed by avformat_open_input
        return false;
    }
    const AVCodec* codec = nullptr;
    if (avformat_find_stream_info(format_, nullptr) < 0 ||
        (stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0)) < 0) {
        close();
        return false;
    }
    decoder_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    decoded_ = av_frame_alloc();
    if (!decoder_ || !packet_ || !decoded_ ||
        avcodec_parameters_to_context(decoder_, format_->streams[stream_]->codecpar) < 0 ||
        avcodec_open2(decoder_, codec, nullptr) < 0) {
        close();
        return false;
    }
    return true;
}

void AvVideoInput::close()
{
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    av_frame_free(&decoded_);
    av_packet_free(&packet_);
    avcodec_free_context(&decoder_);
    if (format_)
        avformat_close_input(&format_);
    stream_ = -1;
    draining_ = false;
}

QSize AvVideoInput::size() const
{
    if (!decoder_)
        return {};
    return {decoder_->width, decoder_->height};
}

double AvVideoInput::frameRate() const
{
    if (!format_)
        return 0;
    const AVStream* stream = format_->streams[stream_];
    for (AVRational rate : {stream->avg_frame_rate, stream->r_frame_rate}) {
        if (rate.num > 0 && rate.den > 0)
            return av_q2d(rate);
    }
    return 0;
}

QImage AvVideoInput::convert(const AVFrame& decoded)
{
    scaler_ = sws_getCachedContext(scaler_, decoded.width, decoded.height, static_cast<AVPixelFormat>(decoded.format),
                                   decoded.width, decoded.height, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr,
                                   nullptr);
    if (!scaler_)
        return {};
    QImage image(decoded.width, decoded.height, QImage::Format_RGB32);
    uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    if (sws_scale(scaler_, decoded.data, decoded.linesize, 0, decoded.height, planes, strides) != decoded.height)
        return {};
    return image;
}

AvVideoInput::Read AvVideoInput::read(QImage& frame)
{
    if (!format_)
        return Read::Error;
    for (;;) {
        const int received = avcodec_receive_frame(decoder_, decoded_);
        if (received == 0) {
            frame = convert(*decoded_);
            av_frame_unref(decoded_);
            return frame.isNull() ? Read::Error : Read::Frame;
        }
        if (received == AVERROR_EOF)
            return Read::End;
        if (received != AVERROR(EAGAIN))
            return Read::Error;
        if (draining_)
            return Read::End;
        armDeadline();
        const int got = av_read_frame(format_, packet_);
        if (got == AVERROR_EOF) {
            draining_ = true;
            avcodec_send_packet(decoder_, nullptr);
            continue;
        }
        if (got < 0)
            return Read::Error;
        const bool ours = packet_->stream_index == stream_;
        const int sent = ours ? avcodec_send_packet(decoder_, packet_) : 0;
        av_packet_unref(packet_);
        if (sent < 0 && sent != AVERROR_INVALIDDATA)
            return Read::Error;
    }
}

bool AvVideoInput::rewind()
{
    if (!format_)
        return false;
    armDeadline();
    if (av_seek_frame(format_, stream_, 0, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(format_, -1, INT64_MIN, 0, 0, 0) < 0)
        return false;
    avcodec_flush_buffers(decoder_);
    draining_ = false;
    return true;
}
