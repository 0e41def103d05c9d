// The file camera: its pictures, its pace and its loop, on real clips made by ffmpeg.
#include "capture/VideoFileDriver.h"
#include "tests/support/Footage.h"
#include "tests/support/TempAppFolder.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr int kFrames = 6;

// A clip of kFrames frames at 10 frames a second, 320 x 240, with a moving test pattern.
QString makeClip(const QTemporaryDir& folder, const char* codec, const char* pixelFormat)
{
    const QString clip = folder.filePath(QStringLiteral("%1_%2.avi").arg(codec, pixelFormat));
    EXPECT_EQ(QProcess::execute("ffmpeg", {"-loglevel", "error", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=10",
                                           "-frames:v", QString::number(kFrames), "-c:v", codec, "-pix_fmt", pixelFormat,
                                           "-y", clip}),
              0);
    return clip;
}

// What the detector, snapshots and clips get is bit for bit what ffmpeg decodes
// (full-range "J" formats included); only the preview may decode its own way.
// Frames come at the file's rate (the reader paces them) and start again after the last.
TEST(FileCamera, PicturesAreThoseOfDecodingEveryFrameAtItsRateLooped)
{
    const struct {
        const char* codec;
        const char* pixelFormat;
        bool keptCompressed;  // an MJPEG frame stays a JPEG until used
    } encodings[] = {{"mjpeg", "yuvj420p", true}, {"mjpeg", "yuvj422p", true}, {"mjpeg", "yuvj444p", true},
                     {"mpeg4", "yuv420p", false}, {"rawvideo", "yuyv422", false}};
    QTemporaryDir folder;
    for (const auto& encoding : encodings) {
        SCOPED_TRACE(encoding.pixelFormat);
        const QString clip = makeClip(folder, encoding.codec, encoding.pixelFormat);
        const std::vector<QImage> expected = decodeFrames(clip, QSize(320, 240));
        ASSERT_EQ(expected.size(), size_t(kFrames));
        ASSERT_NE(expected[0], expected[kFrames - 1]) << "the pattern moves, so the loop shows";

        VideoFileDriver driver(clip);
        ASSERT_TRUE(driver.open());
        EXPECT_FALSE(driver.setFrameSize(QSize(160, 120)));
        for (int i = 0; i <= kFrames; ++i) {
            SCOPED_TRACE(i);
            std::optional<DriverFrame> read = driver.readFrame();
            ASSERT_TRUE(read && read->frame);
            EXPECT_EQ(read->interval, 100ms);
            const CameraFrame& frame = *read->frame;
            const QImage& picture = expected[size_t(i % kFrames)];
            EXPECT_EQ(frame.size(), QSize(320, 240));
            EXPECT_EQ(frame.jpegBytes().isEmpty(), !encoding.keptCompressed);
            ASSERT_EQ(frame.picture(), picture);

            // The preview: as large as its box needs, and the same picture to the eye.
            const QImage whole = frame.previewPicture(QSize(320, 240));
            ASSERT_EQ(whole.size(), QSize(320, 240));
            EXPECT_LT(meanByteDifference(whole, picture), 2.0);
            EXPECT_EQ(frame.previewPicture(QSize(150, 100)).size(), encoding.keptCompressed ? QSize(160, 120) : QSize(320, 240));
            EXPECT_EQ(frame.previewPicture(QSize(161, 100)).size(), QSize(320, 240));
        }
    }
    EXPECT_FALSE(VideoFileDriver(folder.filePath(QStringLiteral("none.avi"))).open());
    EXPECT_FALSE(VideoFileDriver(writeFileBytes(folder.filePath(QStringLiteral("notes.avi")), "not a video")).open());
}

}  // namespace
