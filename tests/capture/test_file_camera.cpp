#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "capture/VideoFileDriver.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// A real 12-frame clip at 10 frames a second, 160 x 120, with a moving test pattern.
class FileCameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clip = folder.filePath(QStringLiteral("clip.avi"));
        const int status = QProcess::execute(
            QStringLiteral("ffmpeg"), {"-loglevel", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10",
                                       "-frames:v", "12", "-c:v", "mjpeg", "-y", clip});
        ASSERT_EQ(status, 0);
    }
    void TearDown() override { setPreferredCamera({}); }

    QTemporaryDir folder;
    QString clip;
};

TEST_F(FileCameraTest, PlaysAtItsRateAndLoops)
{
    VideoFileDriver driver(clip);
    ASSERT_TRUE(driver.open());
    EXPECT_EQ(driver.name(), QStringLiteral("clip.avi"));
    EXPECT_EQ(driver.frameSize(), QSize(160, 120));
    EXPECT_EQ(driver.frameSizes(), std::vector<QSize>({QSize(160, 120)}));
    EXPECT_TRUE(driver.setFrameSize(QSize(160, 120)));
    EXPECT_FALSE(driver.setFrameSize(QSize(320, 240)));

    std::vector<QImage> frames;
    for (int i = 0; i < 14; ++i) {
        std::optional<DriverFrame> frame = driver.readFrame();
        ASSERT_TRUE(frame) << "frame " << i;
        EXPECT_EQ(frame->interval, 100ms);
        EXPECT_EQ(frame->image.format(), QImage::Format_RGB32);
        frames.push_back(frame->image);
    }
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_EQ(frames[12], frames[0]);  // back at the start after the last frame
    EXPECT_EQ(frames[13], frames[1]);
}

TEST_F(FileCameraTest, MissingOrBrokenFileDoesNotConnect)
{
    EXPECT_FALSE(VideoFileDriver(folder.filePath(QStringLiteral("none.avi"))).open());
    QFile text(folder.filePath(QStringLiteral("notes.avi")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a video");
    text.close();
    EXPECT_FALSE(VideoFileDriver(text.fileName()).open());
}

TEST_F(FileCameraTest, WindowReceivesPacedFramesFromAFileAtIndexZero)
{
    setPreferredCamera(clip);
    CaptureWindow window;
    ASSERT_TRUE(capDriverConnect(&window, 0));
    CAPSTATUS status;
    ASSERT_TRUE(capGetStatus(&window, &status, sizeof status));
    EXPECT_EQ(status.uiImageWidth, 160u);

    uint64_t first = 0;
    ASSERT_TRUE(window.waitForFrameAfter(0, 5s, nullptr, &first));
    const auto start = std::chrono::steady_clock::now();
    uint64_t later = 0;
    ASSERT_TRUE(window.waitForFrameAfter(first + 2, 5s, nullptr, &later));
    // Three more frames at 10 per second cannot come sooner than 0.3 s (less a little jitter).
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
}

}  // namespace
