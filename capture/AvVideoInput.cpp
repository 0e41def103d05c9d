#include "capture/AvVideoInput.h"

#include "capture/AvCameraFrames.h"
#include "capture/AvDevices.h"
#include "capture/FfmpegLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <turbojpeg.h>

AvVideoInput::~AvVideoInput()
{
    close();
}

int AvVideoInput::interrupted(void* self)
{
    const auto* input = static_cast<AvVideoInput*>(self);
    return input->interrupted_ || std::chrono::steady_clock::now() > input->deadline_ ? 1 : 0;
}

void AvVideoInput::armDeadline()
{
    deadline_ = std::chrono::steady_clock::now() + timeout_;
}

void AvVideoInput::interrupt()
{
    interrupted_ = true;
}

bool AvVideoInput::open(const QString& url, const char* inputFormat,
                        const std::map<std::string, std::string>& options, std::chrono::milliseconds timeout)
{
    close();
    installFfmpegLog();
    // A named input format is a device's.
    const AVInputFormat* format = nullptr;
    if (inputFormat && (!registerAvDevices() || !(format = av_find_input_format(inputFormat))))
        return false;
    AVDictionary* dictionary = nullptr;
    for (const auto& [key, value] : options)
        av_dict_set(&dictionary, key.c_str(), value.c_str(), 0);

    timeout_ = timeout;
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
    const AVCodecParameters& parameters = *format_->streams[stream_]->codecpar;
    decoder_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    decoded_ = av_frame_alloc();
    if (!decoder_ || !packet_ || !decoded_ || avcodec_parameters_to_context(decoder_, &parameters) < 0 ||
        avcodec_open2(decoder_, codec, nullptr) < 0) {
        close();
        return false;
    }
    converter_ = std::make_shared<AvFrameConverter>(parameters);
    if (parameters.codec_id == AV_CODEC_ID_MJPEG)
        jpegHeaderReader_ = tjInitDecompress();
    return true;
}

void AvVideoInput::close()
{
    if (jpegHeaderReader_)
        tjDestroy(jpegHeaderReader_);
    jpegHeaderReader_ = nullptr;
    converter_.reset();  // frames still held keep theirs
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

std::shared_ptr<const CameraFrame> AvVideoInput::keepJpegPacket()
{
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(jpegHeaderReader_, packet_->data, static_cast<unsigned long>(packet_->size), &width,
                            &height, &subsampling, &colourspace) != 0)
        return nullptr;
    // A packet holding two interlaced fields reads as half the stream's height:
    // FFmpeg's decoder puts those together.
    const QSize size(width, height);
    if (!size.isValid() || (!this->size().isEmpty() && size != this->size()))
        return nullptr;
    return std::make_shared<JpegPacketFrame>(size, *packet_, converter_);
}

AvVideoInput::Read AvVideoInput::read(std::shared_ptr<const CameraFrame>& frame)
{
    if (!format_)
        return Read::Error;
    for (;;) {
        const int received = avcodec_receive_frame(decoder_, decoded_);
        if (received == 0) {
            frame = std::make_shared<DecodedAvFrame>(*decoded_, converter_);
            return Read::Frame;
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
        if (packet_->stream_index != stream_) {
            av_packet_unref(packet_);
            continue;
        }
        if (jpegHeaderReader_) {
            if (std::shared_ptr<const CameraFrame> kept = keepJpegPacket()) {
                frame = std::move(kept);
                return Read::Frame;
            }
        }
        const int sent = avcodec_send_packet(decoder_, packet_);
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
