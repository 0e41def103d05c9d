// Pre-event recording in the real main window on the video-file camera: an
// alarm at a known frame of numbered footage gives a clip that begins the set
// number of seconds before that frame, runs on through a slow mail to its
// length after the recording step and plays at 30 frames a second.
#include "tests/app/LoopbackAlarmFixture.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/Footage.h"

#include "capture/DriverRegistry.h"

#include <QDateTime>
#include <QDir>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kPreTime = 3;
constexpr int kMailDelaySeconds = 2;
constexpr int kFootageRate = 30;
constexpr QSize kFootageSize{320, 240};
const QString kRecording = QStringLiteral("Houndly: 動画録画中･･･");

// When the camera published each frame of the footage, by the frame number
// the footage carries: watched on a thread of its own, as a viewer would.
class PublishTimes {
public:
    explicit PublishTimes(const CaptureWindow& camera) : camera_(camera), thread_([this] { run(); }) {}
    ~PublishTimes()
    {
        stop_ = true;
        thread_.join();
    }
    // The newest footage frame published by `moment` (-1 when none was seen).
    int newestBy(Clock::time_point moment) const
    {
        std::lock_guard lock(mutex_);
        const auto after = seen_.upper_bound(moment);
        return after == seen_.begin() ? -1 : std::prev(after)->second;
    }
    int latestNumber() const
    {
        std::lock_guard lock(mutex_);
        return seen_.empty() ? -1 : seen_.rbegin()->second;
    }

private:
    void run()
    {
        uint64_t last = 0;
        while (!stop_) {
            if (!camera_.waitForFrameAfter(last, 200ms, &last))
                continue;
            FrameStamp stamp;
            const std::shared_ptr<const CameraFrame> frame = camera_.latestCameraFrame(&stamp);
            if (!frame)
                continue;
            last = stamp.number;
            const int number = footageNumber(frame->picture());
            std::lock_guard lock(mutex_);
            seen_[stamp.time] = number;
        }
    }

    const CaptureWindow& camera_;
    mutable std::mutex mutex_;
    std::map<Clock::time_point, int> seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

class PreEventAlarmTest : public LoopbackAlarmFixture {
protected:
    void SetUp() override
    {
        LoopbackAlarmFixture::SetUp();
        ASSERT_GT(slowSmtp.port(), 0);
        const QString footage = home.filePath(QStringLiteral("numbered.avi"));
        // A light switched on at 6 s raises the alarm; twenty seconds before the file loops.
        ASSERT_TRUE(makeFootage(footage, {.size = kFootageSize, .framesPerSecond = kFootageRate, .seconds = 20,
                                          .light = QStringLiteral("eq=brightness=0.6:enable='gte(t,6)'"),
                                          .numbered = true}));
        setPreferredCamera(footage);
        Settings.MAIL.SMTP = QStringLiteral("127.0.0.1\t%1").arg(slowSmtp.port());
        Settings.TRG = {destination(QStringLiteral("owner@example.net")), MailTrigger{}, MailTrigger{}, MailTrigger{}};
        Settings.FTP.MOVE = QStringLiteral("True");
        Settings.EXT.PRETIME = kPreTime;
        // Above what the changing frame numbers alone count, well below the light.
        Settings.COM.CKSUM = 40;
        ASSERT_TRUE(sSaveSettings());
        startWindow();
    }

    // Ticks once the footage has played to frame `number`.
    void tickAtFrame(const PublishTimes& times, int number)
    {
        QElapsedTimer waited;
        waited.start();
        while (times.latestNumber() < number && waited.elapsed() < 30000)
            QTest::qWait(10);
        ASSERT_GE(times.latestNumber(), number);
        window->watcher().Timer1_Timer();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->watcher().isAlarmRunning(); }, 60000));
    }

    QString slowRecords() const { return home.filePath(QStringLiteral("slow-smtp.jsonl")); }
    ServerProcess slowSmtp{QStringLiteral("smtp_server.py"),
                           {QStringLiteral("--record"), slowRecords(), QStringLiteral("--lifetime"), QStringLiteral("120"),
                            QStringLiteral("--delay"), QString::number(kMailDelaySeconds)}};
};

TEST_F(PreEventAlarmTest, ClipBeginsBeforeTheAlarmFrameAndCoversTheMail)
{
    PublishTimes times(*hCapWnd);
    PaintedTexts status(window->StatusBarPanel(1));
    // The calm reference, then the lit room: the alarm. Timer1's own next tick
    // is 5 s after the first of these.
    tickAtFrame(times, 5 * kFootageRate);
    ASSERT_NO_FATAL_FAILURE(tickAtFrame(times, 6 * kFootageRate + 5));
    const qint64 alarmOverMs = QDateTime::currentMSecsSinceEpoch();
    const Clock::time_point alarmOver = Clock::now();
    ASSERT_EQ(readRecords(slowRecords(), QStringLiteral("message")).size(), 1);

    const Clock::time_point alarmTime = hCapWnd->grabbedFrameStamp().time;
    const int alarmFrame = footageNumber(window->watcher().pic_ViewA());
    ASSERT_EQ(alarmFrame, times.newestBy(alarmTime));
    ASSERT_GE(alarmFrame, 6 * kFootageRate) << "the alarm came before the light";

    const QStringList clips = QDir(home.filePath(QStringLiteral("avi"))).entryList({QStringLiteral("*_ALERT.AVI")});
    ASSERT_EQ(clips.size(), 1);
    const QString clip = home.filePath(QStringLiteral("avi/") + clips[0]);
    const ClipFacts facts = probeClip(clip);
    EXPECT_TRUE(facts.decodes);
    EXPECT_EQ(QStringList({facts.container, facts.codec, facts.frameRate}), QStringList({"avi", "mjpeg", "30/1"}));
    EXPECT_EQ(QSize(facts.width, facts.height), kFootageSize);

    const std::vector<QImage> frames = decodeFrames(clip, kFootageSize);
    ASSERT_FALSE(frames.empty());
    // Its first picture is the frame the camera showed PRETIME before the alarm frame, give or take one.
    const int expectedFirst = times.newestBy(alarmTime - std::chrono::seconds(kPreTime));
    EXPECT_NEAR(footageNumber(frames.front()), expectedFirst, 1) << "alarm frame " << alarmFrame;

    // It ends TIME seconds after the recording step began, which waited for the slow mail.
    const qint64 recordingStepMs = status.timeOf(kRecording);
    ASSERT_GT(recordingStepMs, 0);
    const Clock::time_point recordingStep = alarmOver - std::chrono::milliseconds(alarmOverMs - recordingStepMs);
    EXPECT_GE(recordingStep - alarmTime, std::chrono::seconds(kMailDelaySeconds));
    const double expectedSeconds =
        std::chrono::duration<double>(recordingStep + std::chrono::seconds(Settings.FTP.TIME) - (alarmTime - std::chrono::seconds(kPreTime)))
            .count();
    EXPECT_NEAR(frames.size() / 30.0, expectedSeconds, 0.25);

    // Without a gap: the footage runs on frame after frame (repeats or skips of a frame or two under load).
    for (size_t i = 1; i < frames.size(); ++i) {
        const int step = footageNumber(frames[i]) - footageNumber(frames[i - 1]);
        EXPECT_TRUE(step >= 0 && step <= 3) << "frame " << i << " steps by " << step;
    }
}
