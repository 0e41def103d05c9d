#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "capture/VideoFileDriver.h"
#include "tests/support/TempAppFolder.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

// A real 12-frame clip at 10 frames a second, 160 x 120, with a moving test pattern.
class FileCameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QProcess::execute("ffmpeg", {"-loglevel", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10",
                                               "-frames:v", "12", "-c:v", "mjpeg", "-y", clip}),
                  0);
    }
    void TearDown() override { setPreferredCamera({}); }

    QTemporaryDir folder;
    QString clip = folder.filePath(QStringLiteral("clip.avi"));
};

TEST_F(FileCameraTest, PlaysAtItsRateAndLoopsAndAMissingOrBrokenFileDoesNotOpen)
{
    VideoFileDriver driver(clip);
    ASSERT_TRUE(driver.open());
    EXPECT_FALSE(driver.setFrameSize(QSize(320, 240)));
    std::vector<QImage> frames;
    for (int i = 0; i < 14; ++i) {
        std::optional<DriverFrame> frame = driver.readFrame();
        ASSERT_TRUE(frame) << "frame " << i;
        EXPECT_EQ(frame->interval, 100ms);
        frames.push_back(frame->frame->picture());
    }
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_EQ(frames[12], frames[0]);  // back at the start after the last frame

    EXPECT_FALSE(VideoFileDriver(folder.filePath(QStringLiteral("none.avi"))).open());
    EXPECT_FALSE(VideoFileDriver(writeFileBytes(folder.filePath(QStringLiteral("notes.avi")), "not a video")).open());
}

// Paced, not decoded as fast as the processor allows (that would be hundreds of
// frames in the half second); a slow machine only delivers fewer.
TEST_F(FileCameraTest, WindowReceivesPacedFramesFromAFileAtIndexZero)
{
    setPreferredCamera(clip);
    CaptureWindow window;
    ASSERT_TRUE(capDriverConnect(&window, 0));
    uint64_t first = 0;
    ASSERT_TRUE(window.waitForFrameAfter(0, 5s, &first));
    std::this_thread::sleep_for(500ms);
    uint64_t later = 0;
    window.latestFrame(&later);
    EXPECT_LE(later - first, 5u + 3u) << "at most 5 frames in 0.5 s, and a few after a stall";
    EXPECT_TRUE(window.waitForFrameAfter(later, 5s)) << "and frames keep coming";
}

}  // namespace
