#include "capture/ClipMuxer.h"

#include "capture/ClipAudioInput.h"
#include "capture/FfmpegLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>

namespace {

// Whole frames a second when the period is one (33333 us is 30), else the period itself.
AVRational frameTimeBase(std::chrono::microseconds period)
{
    const auto micros = std::max<int64_t>(period.count(), 1);
    const int64_t perSecond = std::llround(1e6 / static_cast<double>(micros));
    if (perSecond > 0 && std::llround(1e6 / static_cast<double>(perSecond)) == micros)
        return {1, static_cast<int>(perSecond)};
    return {static_cast<int>(micros), 1000000};
}

// Quality 1..100 as the encoder's quantiser 31..2 (smaller is better).
int qualityLambda(int quality)
{
    const int bounded = std::clamp(quality, 1, 100);
    const int quantiser = 2 + (100 - bounded) * 29 / 99;
    return quantiser * FF_QP2LAMBDA;
}

AVPixelFormat encoderPixelFormat(const AVCodec* codec)
{
    // An encoder's first format is its natural one (full-range YUV for MJPEG).
    return codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
}

}  // namespace

std::unique_ptr<ClipMuxer> ClipMuxer::open(const ClipRecording& recording, QString& error)
{
    installFfmpegLog();
    std::unique_ptr<ClipMuxer> muxer(new ClipMuxer);
    muxer->timeLimit_ = recording.timeLimit;
    const QByteArray path = recording.path.toUtf8();
    int code = avformat_alloc_output_context2(&muxer->output_, nullptr, "avi", path.constData());
    bool opened = code >= 0 || muxer->fail(QStringLiteral("cannot make an AVI file"), code);
    opened = opened && muxer->openVideo(recording);
    if (opened && recording.captureAudio)
        muxer->openAudio();
    if (opened && (code = avio_open(&muxer->output_->pb, path.constData(), AVIO_FLAG_WRITE)) < 0)
        opened = muxer->fail(QStringLiteral("cannot create \"%1\"").arg(recording.path), code);
    if (opened && (code = avformat_write_header(muxer->output_, nullptr)) < 0)
        opened = muxer->fail(QStringLiteral("cannot write the clip header"), code);
    if (!opened) {
        error = muxer->error();
        return nullptr;
    }
    muxer->headerWritten_ = true;
    return muxer;
}

bool ClipMuxer::openVideo(const ClipRecording& recording)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(recording.compression.codec.toLatin1().constData());
    if (!codec)
        codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec)
        return fail(QStringLiteral("no video encoder"), AVERROR_ENCODER_NOT_FOUND);
    encoder_ = avcodec_alloc_context3(codec);
    // Even sizes suit every 4:2:0 encoder.
    encoder_->width = std::max(2, recording.frameSize.width() & ~1);
    encoder_->height = std::max(2, recording.frameSize.height() & ~1);
    encoder_->time_base = frameTimeBase(recording.framePeriod);
    encoder_->framerate = av_inv_q(encoder_->time_base);
    encoder_->pix_fmt = encoderPixelFormat(codec);
    encoder_->gop_size = encoder_->framerate.num / std::max(encoder_->framerate.den, 1);
    encoder_->max_b_frames = 0;  // AVI keeps no reordering timestamps
    if (codec->id == AV_CODEC_ID_MJPEG || codec->id == AV_CODEC_ID_MPEG4) {
        qualityLambda_ = qualityLambda(recording.compression.quality);
        encoder_->flags |= AV_CODEC_FLAG_QSCALE;
        encoder_->global_quality = qualityLambda_;
    }
    if (output_->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int code = avcodec_open2(encoder_, codec, nullptr); code < 0)
        return fail(QStringLiteral("cannot open the %1 encoder").arg(QString::fromLatin1(codec->name)), code);

    videoStream_ = avformat_new_stream(output_, nullptr);
    avcodec_parameters_from_context(videoStream_->codecpar, encoder_);
    videoStream_->time_base = encoder_->time_base;
    videoStream_->avg_frame_rate = encoder_->framerate;
    videoStream_->r_frame_rate = encoder_->framerate;

    frame_ = av_frame_alloc();
    frame_->format = encoder_->pix_fmt;
    frame_->width = encoder_->width;
    frame_->height = encoder_->height;
    if (const int code = av_frame_get_buffer(frame_, 0); code < 0)
        return fail(QStringLiteral("out of memory for a picture"), code);
    return true;
}

// Without a sound device the clip simply has no sound.
bool ClipMuxer::openAudio()
{
    audio_ = ClipAudioInput::openDefault();
    if (!audio_)
        return false;
    audioStream_ = avformat_new_stream(output_, nullptr);
    avcodec_parameters_copy(audioStream_->codecpar, audio_->parameters());
    audioStream_->codecpar->codec_tag = 0;
    audioStream_->time_base = audio_->timeBase();
    return true;
}

ClipMuxer::~ClipMuxer()
{
    if (headerWritten_ && !finished_)
        finish();
    if (output_ && output_->pb)
        avio_closep(&output_->pb);
    avformat_free_context(output_);
    avcodec_free_context(&encoder_);
    av_frame_free(&frame_);
    sws_freeContext(scaler_);
}

void ClipMuxer::startAudio(std::chrono::microseconds offset)
{
    if (!audio_)
        return;
    audioOffset_ = av_rescale_q(offset.count(), {1, 1000000}, audio_->timeBase());
    audioLimit_ = av_rescale_q((offset + timeLimit_).count(), {1, 1000000}, audioStream_->time_base);
    audioThread_ = std::thread([this] { copyAudio(); });
}

void ClipMuxer::copyAudio()
{
    AVPacket* packet = av_packet_alloc();
    int64_t firstPts = AV_NOPTS_VALUE;
    while (audio_->read(packet)) {
        // The sound clock starts with the clip.
        if (firstPts == AV_NOPTS_VALUE)
            firstPts = packet->pts;
        packet->pts += audioOffset_ - firstPts;
        packet->dts = packet->pts;
        const int64_t start = av_rescale_q(packet->pts, audio_->timeBase(), audioStream_->time_base);
        if (start >= audioLimit_ || !writePacket(packet, audioStream_, audio_->timeBase()))
            break;
    }
    av_packet_free(&packet);
}

bool ClipMuxer::writePicture(const QImage& picture, int64_t index)
{
    const QImage source = picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    if (!prepareScaler(source.size()))
        return fail(QStringLiteral("cannot convert a %1x%2 picture").arg(source.width()).arg(source.height()), AVERROR(EINVAL));
    if (const int code = av_frame_make_writable(frame_); code < 0)
        return fail(QStringLiteral("out of memory for a picture"), code);
    const uint8_t* const sourceData[] = {source.constBits()};
    const int sourceStride[] = {static_cast<int>(source.bytesPerLine())};
    sws_scale(scaler_, sourceData, sourceStride, 0, source.height(), frame_->data, frame_->linesize);
    frame_->pts = index;
    frame_->quality = qualityLambda_;
    return encode(frame_);
}

// One converter per camera size; the full-range ("J") formats are converted
// as their plain layout with the full range set, as swscale asks.
bool ClipMuxer::prepareScaler(QSize sourceSize)
{
    if (scaler_ && sourceSize == scalerSource_)
        return true;
    sws_freeContext(scaler_);
    const AVPixelFormat target = encoder_->pix_fmt;
    const bool fullRange = target == AV_PIX_FMT_YUVJ420P || target == AV_PIX_FMT_YUVJ422P || target == AV_PIX_FMT_YUVJ444P;
    const AVPixelFormat layout = target == AV_PIX_FMT_YUVJ420P   ? AV_PIX_FMT_YUV420P
                                 : target == AV_PIX_FMT_YUVJ422P ? AV_PIX_FMT_YUV422P
                                 : target == AV_PIX_FMT_YUVJ444P ? AV_PIX_FMT_YUV444P
                                                                 : target;
    scaler_ = sws_getContext(sourceSize.width(), sourceSize.height(), AV_PIX_FMT_BGRA, encoder_->width, encoder_->height,
                             layout, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler_)
        return false;
    const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(scaler_, coefficients, 1, coefficients, fullRange ? 1 : 0, 0, 1 << 16, 1 << 16);
    scalerSource_ = sourceSize;
    return true;
}

bool ClipMuxer::encode(AVFrame* frame)
{
    if (const int code = avcodec_send_frame(encoder_, frame); code < 0)
        return fail(QStringLiteral("cannot encode a picture"), code);
    AVPacket* packet = av_packet_alloc();
    bool written = true;
    int code = 0;
    while (written && (code = avcodec_receive_packet(encoder_, packet)) >= 0)
        written = writePacket(packet, videoStream_, encoder_->time_base);
    av_packet_free(&packet);
    if (written && code != AVERROR(EAGAIN) && code != AVERROR_EOF)
        return fail(QStringLiteral("cannot encode a picture"), code);
    return written;
}

bool ClipMuxer::writePacket(AVPacket* packet, AVStream* stream, AVRational sourceTimeBase)
{
    std::lock_guard lock(writeMutex_);
    av_packet_rescale_ts(packet, sourceTimeBase, stream->time_base);
    packet->stream_index = stream->index;
    if (const int code = av_interleaved_write_frame(output_, packet); code < 0)
        return fail(QStringLiteral("cannot write the clip"), code);
    return true;
}

bool ClipMuxer::finish()
{
    finished_ = true;
    if (audioThread_.joinable()) {
        audio_->interrupt();
        audioThread_.join();
    }
    bool whole = encode(nullptr);
    if (const int code = av_write_trailer(output_); code < 0)
        whole = fail(QStringLiteral("cannot close the clip"), code);
    if (const int code = avio_closep(&output_->pb); code < 0)
        whole = fail(QStringLiteral("cannot close the clip"), code);
    return whole;
}

QString ClipMuxer::error() const
{
    std::lock_guard lock(errorMutex_);
    return error_;
}

bool ClipMuxer::fail(const QString& what, int code)
{
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, reason, sizeof reason);
    std::lock_guard lock(errorMutex_);
    if (error_.isEmpty())
        error_ = QStringLiteral("%1: %2").arg(what, QString::fromUtf8(reason));
    return false;
}
