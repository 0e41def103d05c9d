// Clips recorded through the capture window's sequence operations, from the
// demo camera and the video-file camera, checked with ffprobe and ffmpeg.
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "tests/support/ClipProbe.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>

namespace {

constexpr double kFramePeriodSeconds = 1.0 / 30;

class ClipRecordingTest : public ::testing::Test {
protected:
    void TearDown() override { setPreferredCamera({}); }

    // Connects `source` at index 0 and sets a recording of `seconds` to `name`.
    QString prepare(const QString& source, uint32_t seconds, const QString& name, bool sound = false)
    {
        setPreferredCamera(source);
        EXPECT_TRUE(capDriverConnect(&window_, 0)) << source.toStdString();
        CAPTUREPARMS parms;
        EXPECT_TRUE(capCaptureGetSetup(&window_, &parms, 92));
        parms.dwRequestMicroSecPerFrame = 33333;
        parms.fLimitEnabled = true;
        parms.wTimeLimit = seconds;
        parms.fAbortLeftMouse = false;
        parms.fAbortRightMouse = false;
        parms.fCaptureAudio = sound;
        EXPECT_TRUE(capCaptureSetSetup(&window_, &parms, 92));
        const QString path = work_.filePath(name);
        EXPECT_TRUE(capFileSetCaptureFile(&window_, path));
        return path;
    }

    QTemporaryDir work_;
    CaptureWindow window_;
};

TEST_F(ClipRecordingTest, ClipsPlayAtThirtyFramesForTheSetLength)
{
    const QString video = work_.filePath("camera.mp4");
    ASSERT_TRUE(makeTestVideo(video, 320, 240, 25, 1));
    struct Row {
        QString source, codec;
        uint32_t seconds;
        QString expectedCodec;
        bool sound;  // asked for, but there is no sound device here
    };
    const Row rows[] = {
        {"demo", "mjpeg", 1, "mjpeg", false},
        {"demo", "mpeg4", 1, "mpeg4", true},
        {video, "mjpeg", 2, "mjpeg", false},  // the file loops
        {"demo", "no-such-codec", 1, "mjpeg", false},
    };
    for (const Row& row : rows) {
        const QString path = prepare(row.source, row.seconds, row.codec + ".AVI", row.sound);
        window_.setCompression({row.codec, 60});
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_TRUE(capCaptureSequence(&window_));
        const double tookSeconds = elapsed.elapsed() / 1000.0;
        EXPECT_FALSE(capCaptureStop(&window_));  // nothing left to stop

        const ClipFacts clip = probeClip(path);
        const std::string name = (row.source + " " + row.codec).toStdString();
        ASSERT_TRUE(clip.probed && clip.decodes) << name;
        EXPECT_EQ(QStringList({clip.container, clip.codec, clip.frameRate}), QStringList({"avi", row.expectedCodec, "30/1"}))
            << name;
        EXPECT_EQ(QSize(clip.width, clip.height), window_.frameSize()) << name;
        EXPECT_LE(std::abs(clip.durationSeconds - row.seconds), kFramePeriodSeconds * row.seconds) << name;
        EXPECT_EQ(clip.frames, static_cast<int>(row.seconds * 30)) << name;
        EXPECT_FALSE(clip.hasAudio) << name;
        // Recording keeps real time: it never returns early, and ends within a bound on a busy machine.
        EXPECT_GE(tookSeconds, row.seconds - kFramePeriodSeconds) << name;
        EXPECT_LE(tookSeconds, row.seconds + 10.0) << name;
    }
}

TEST_F(ClipRecordingTest, EscapeEndsTheClipEarlyAndItStillPlays)
{
    const QString path = prepare("demo", 20, "escaped.AVI");
    QTimer::singleShot(1000, qApp, [] {
        QCoreApplication::postEvent(qApp, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(capCaptureSequence(&window_));
    EXPECT_LT(elapsed.elapsed(), 15000);  // far below the 20 s set

    const ClipFacts clip = probeClip(path);
    EXPECT_TRUE(clip.decodes);
    EXPECT_GE(clip.durationSeconds, 0.5);
    EXPECT_LT(clip.durationSeconds, 10.0);
}

TEST_F(ClipRecordingTest, LettingTheDriverGoWhileRecordingEndsTheClipSafely)
{
    // The window can close while a recording serves its events: the clip ends
    // with what it has, and the recorder never reads a reader being destroyed.
    const QString path = prepare("demo", 20, "closed.AVI");
    QTimer::singleShot(1000, qApp, [this] { EXPECT_TRUE(capDriverDisconnect(&window_)); });
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(capCaptureSequence(&window_));
    EXPECT_LT(elapsed.elapsed(), 15000);  // far below the 20 s set
    EXPECT_FALSE(window_.isConnected());
    const ClipFacts clip = probeClip(path);
    EXPECT_TRUE(clip.decodes);
    EXPECT_LT(clip.durationSeconds, 10.0);
}

TEST_F(ClipRecordingTest, NoWindowNoDriverOrNoFileRecordsNothing)
{
    CAPTUREPARMS parms;
    EXPECT_FALSE(capCaptureSequence(nullptr) || capCaptureGetSetup(nullptr, &parms, 92) ||
                 capCaptureSetSetup(nullptr, &parms, 92) || capFileSetCaptureFile(nullptr, "/tmp/x.AVI") ||
                 capCaptureStop(nullptr));
    EXPECT_TRUE(capFileSetCaptureFile(&window_, work_.filePath("never.AVI")));
    EXPECT_FALSE(capCaptureSequence(&window_));  // not connected
    EXPECT_FALSE(QFile::exists(work_.filePath("never.AVI")));
}

}  // namespace

int main(int argc, char** argv)
{
    // Owned by main: key events leave Qt state that must outlive the application object.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // test discovery runs without the test environment
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
