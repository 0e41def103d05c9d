#include "capture/VideoFileDriver.h"
#include "tests/support/Footage.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr int kFrames = 6;

// The pictures of a file as the file camera made them when it decoded every
// frame as it came: FFmpeg's decoder, then swscale (bilinear) from the decoder's
// own pixel format, full-range "J" formats included, straight to RGB32.
std::vector<QImage> decodeEveryFrame(const QString& path, QSize size)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-loglevel", "error", "-i", path, "-frames:v", QString::number(kFrames), "-sws_flags",
                            "bilinear", "-f", "rawvideo", "-pix_fmt", "bgra", "-"});
    ffmpeg.waitForFinished(60000);
    const QByteArray bytes = ffmpeg.readAllStandardOutput();
    const qsizetype frameBytes = qsizetype(size.width()) * size.height() * 4;
    std::vector<QImage> pictures;
    for (qsizetype at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
        QImage picture(size, QImage::Format_RGB32);
        std::memcpy(picture.bits(), bytes.constData() + at, size_t(frameBytes));
        pictures.push_back(picture);
    }
    return pictures;
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
    const std::vector<QImage> expected = decodeEveryFrame(clip, QSize(320, 240));
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
