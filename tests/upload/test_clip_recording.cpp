// Clips recorded through the capture window's sequence operations, from the
// demo camera and the video-file camera, followed to their end through the
// event loop, checked with ffprobe and ffmpeg.
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "capture/SequenceEnd.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/Footage.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <functional>
#include <optional>

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
        parms.fAbortLeftMouse = parms.fAbortRightMouse = false;
        parms.fCaptureAudio = sound;
        EXPECT_TRUE(capCaptureSetSetup(&window_, &parms, 92));
        const QString path = work_.filePath(name);
        EXPECT_TRUE(capFileSetCaptureFile(&window_, path));
        return path;
    }
    // Starts the recording, which returns at once, and follows it to its end:
    // whether its clip was written.
    bool record()
    {
        if (!capCaptureSequence(&window_))
            return false;
        SequenceEnd end(window_, std::chrono::seconds(window_.sequenceSetup().wTimeLimit));
        std::optional<bool> written;
        QObject::connect(&end, &SequenceEnd::ended, [&written](bool ok) { written = ok; });
        EXPECT_TRUE(QTest::qWaitFor([&written] { return written.has_value(); }, 60000));
        return written.value_or(false);
    }
    QTemporaryDir work_;
    CaptureWindow window_;
};

TEST_F(ClipRecordingTest, ClipsPlayAtThirtyFramesForTheSetLength)
{
    const QString video = work_.filePath("camera.avi");
    ASSERT_TRUE(makeFootage(video, {.size = {320, 240}, .framesPerSecond = 25, .seconds = 1, .light = {}}));
    // source, codec, seconds, codec written, sound (asked for, but there is no sound device here)
    const std::tuple<QString, QString, uint32_t, QString, bool> rows[] = {
        {video, "mpeg4", 2, "mpeg4", false},  // the file loops
        {"demo", "no-such-codec", 1, "mjpeg", true},
    };
    for (const auto& [source, codec, seconds, written, sound] : rows) {
        const QString path = prepare(source, seconds, codec + ".AVI", sound);
        window_.setCompression({codec, 60});
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_TRUE(record());
        const double tookSeconds = elapsed.elapsed() / 1000.0;
        const ClipFacts clip = probeClip(path);
        const std::string name = (source + " " + codec).toStdString();
        ASSERT_TRUE(clip.probed && clip.decodes) << name;
        EXPECT_EQ(QStringList({clip.container, clip.codec, clip.frameRate}), QStringList({"avi", written, "30/1"}))
            << name;
        EXPECT_EQ(QSize(clip.width, clip.height), window_.frameSize()) << name;
        EXPECT_LE(std::abs(clip.durationSeconds - seconds), kFramePeriodSeconds * seconds) << name;
        EXPECT_TRUE(clip.frames == static_cast<int>(seconds * 30) && !clip.hasAudio) << name;
        // Recording keeps real time: it never returns early, and ends within a bound on a busy machine.
        EXPECT_TRUE(tookSeconds >= seconds - kFramePeriodSeconds && tookSeconds <= seconds + 10.0) << tookSeconds;
    }
}

// Escape, unless a dialog opened meanwhile has it, or the window letting the
// driver go while a recording runs, ends the clip early with what it has, and it still plays; the
// recorder never reads a reader being destroyed. Without a camera nothing is recorded.
TEST_F(ClipRecordingTest, AClipEndedEarlyStillPlaysAndWithoutACameraNoneIsMade)
{
    const std::pair<const char*, std::function<void()>> interruptions[] = {
        {"escaped.AVI", [] { QCoreApplication::postEvent(qApp, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier)); }},
        {"closed.AVI", [this] { EXPECT_TRUE(capDriverDisconnect(&window_)); }},
    };
    QWindow dialog;
    dialog.setModality(Qt::ApplicationModal);
    for (const auto& [name, interrupt] : interruptions) {
        const QString path = prepare("demo", 20, name);
        // The dialog's Escape is its own; the one after it closed ends the clip.
        if (name == std::string("escaped.AVI")) {
            dialog.show();
            QTimer::singleShot(300, qApp, interrupt);
            QTimer::singleShot(900, qApp, [&dialog] { dialog.hide(); });
        }
        QTimer::singleShot(1000, qApp, interrupt);
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_TRUE(record()) << name;
        EXPECT_LT(elapsed.elapsed(), 15000) << name;
        const ClipFacts clip = probeClip(path);
        EXPECT_TRUE(clip.decodes) << name;
        EXPECT_TRUE(clip.durationSeconds >= 0.5 && clip.durationSeconds < 10.0) << name << ": " << clip.durationSeconds;
    }
    EXPECT_FALSE(window_.isConnected());
    EXPECT_TRUE(capFileSetCaptureFile(&window_, work_.filePath("never.AVI")));
    EXPECT_FALSE(capCaptureSequence(&window_));
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
