#include "capture/FfmpegLog.h"
#include "capture/VideoFileDriver.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int kFrames = 6;

// The pictures of a file as the file camera made them when it decoded every
// frame as it came: FFmpeg's decoder, then swscale (bilinear) from the decoder's
// own pixel format, full-range "J" formats included, straight to RGB32.
std::vector<QImage> decodeEveryFrame(const QString& path)
{
    installFfmpegLog();  // the "J" formats make swscale warn
    std::vector<QImage> pictures;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return pictures;
    const AVCodec* codec = nullptr;
    avformat_find_stream_info(format, nullptr);
    const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, format->streams[stream]->codecpar);
    avcodec_open2(decoder, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* scaler = nullptr;
    while (static_cast<int>(pictures.size()) < kFrames && av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(decoder, packet) >= 0) {
            while (avcodec_receive_frame(decoder, frame) == 0) {
                scaler = sws_getCachedContext(scaler, frame->width, frame->height, AVPixelFormat(frame->format),
                                              frame->width, frame->height, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr,
                                              nullptr, nullptr);
                QImage picture(frame->width, frame->height, QImage::Format_RGB32);
                uint8_t* planes[4] = {picture.bits()};
                int strides[4] = {int(picture.bytesPerLine())};
                sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
                pictures.push_back(picture);
            }
        }
        av_packet_unref(packet);
    }
    sws_freeContext(scaler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return pictures;
}

double meanByteDifference(const QImage& a, const QImage& b)
{
    long long sum = 0;
    for (qsizetype i = 0; i < a.sizeInBytes(); ++i)
        sum += std::abs(a.constBits()[i] - b.constBits()[i]);
    return double(sum) / double(a.sizeInBytes());
}

struct Encoding {
    const char* codec;
    const char* pixelFormat;
    bool keptCompressed;  // an MJPEG frame stays a JPEG until used
};

void PrintTo(const Encoding& encoding, std::ostream* out)
{
    *out << encoding.codec << " " << encoding.pixelFormat;
}

class FrameConversion : public ::testing::TestWithParam<Encoding> {};

// What the detector, snapshots and clips get is bit for bit what they got when
// every frame was decoded as it came; only the preview may decode its own way.
TEST_P(FrameConversion, PicturesAreThoseOfDecodingEveryFrame)
{
    const Encoding encoding = GetParam();
    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("clip.avi"));
    ASSERT_EQ(QProcess::execute("ffmpeg", {"-loglevel", "error", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=10",
                                           "-frames:v", QString::number(kFrames), "-c:v", encoding.codec, "-pix_fmt",
                                           encoding.pixelFormat, "-y", clip}),
              0);
    const std::vector<QImage> expected = decodeEveryFrame(clip);
    ASSERT_EQ(expected.size(), size_t(kFrames));

    VideoFileDriver driver(clip);
    ASSERT_TRUE(driver.open());
    for (int i = 0; i < kFrames; ++i) {
        SCOPED_TRACE(i);
        std::optional<DriverFrame> read = driver.readFrame();
        ASSERT_TRUE(read && read->frame);
        const CameraFrame& frame = *read->frame;
        EXPECT_EQ(frame.size(), QSize(320, 240));
        EXPECT_EQ(frame.jpegBytes().isEmpty(), !encoding.keptCompressed);
        ASSERT_EQ(frame.picture(), expected[size_t(i)]);

        // The preview: as large as its box needs, and the same picture to the eye.
        const QImage whole = frame.previewPicture(QSize(320, 240));
        ASSERT_EQ(whole.size(), QSize(320, 240));
        EXPECT_LT(meanByteDifference(whole, expected[size_t(i)]), 2.0);
        EXPECT_EQ(frame.previewPicture(QSize(150, 100)).size(), encoding.keptCompressed ? QSize(160, 120) : QSize(320, 240));
        EXPECT_EQ(frame.previewPicture(QSize(161, 100)).size(), QSize(320, 240));
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, FrameConversion,
                         ::testing::Values(Encoding{"mjpeg", "yuvj420p", true}, Encoding{"mjpeg", "yuvj422p", true},
                                           Encoding{"mjpeg", "yuvj444p", true}, Encoding{"mpeg4", "yuv420p", false},
                                           Encoding{"rawvideo", "yuyv422", false}),
                         [](const ::testing::TestParamInfo<Encoding>& row) { return std::string(row.param.codec) + "_" + row.param.pixelFormat; });

}  // namespace
