#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>

#include <memory>
#include <mutex>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// Turns what FFmpeg reads from one video stream into Format_RGB32 pictures, on
// demand. Shared by the stream's input and the frames it made (a frame may
// outlive its input), so its work is serialised by a lock of its own.
class AvFrameConverter {
public:
    // `stream` describes the stream, so JPEG packets decode as the input's own decoder would.
    explicit AvFrameConverter(const AVCodecParameters& stream);
    ~AvFrameConverter();
    AvFrameConverter(const AvFrameConverter&) = delete;
    AvFrameConverter& operator=(const AvFrameConverter&) = delete;

    // A decoded frame as a picture, through one swscale context kept while the
    // frames keep their size and pixel format. Null on failure.
    QImage convert(const AVFrame& frame);
    // One JPEG packet of the stream, decoded by FFmpeg and converted as above:
    // the picture FFmpeg would have given had the input decoded it. Null on failure.
    QImage decodeJpeg(const AVPacket& packet);

private:
    QImage convertLocked(const AVFrame& frame);
    bool openJpegDecoderLocked();

    std::mutex mutex_;
    AVCodecParameters* stream_ = nullptr;
    AVCodecContext* jpegDecoder_ = nullptr;  // opened on first use
    AVFrame* jpegDecoded_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int scalerWidth_ = 0;
    int scalerHeight_ = 0;
    int scalerFormat_ = -1;
};
