// The alarm rules on the watcher alone, without a window: the demo camera with
// its scene time in the test's hand, the watcher's signals written down.
#include "watch/Watcher.h"

#include "capture/CaptureWindow.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "capture/PreEventBuffer.h"
#include "detect/TimeLineFile.h"
#include "history/HistoryLog.h"
#include "notify/AlarmCommands.h"
#include "settings/Settings.h"
#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/LoopbackAccounts.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"
#include "upload/FtpScriptRunner.h"
#include "upload/PendingUploads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
#include <QTime>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include <csignal>

namespace {

// Scene times of the demo camera: the intruder crosses in the last 3 s of every 30 s.
constexpr int64_t kCalm = 1000, kIntruder = 28000;

class WatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication();
        useTestLanguage("ja");
        ASSERT_TRUE(home.isValid());
        // A load keeps what the file lacks: the settings of the test before must go first.
        Settings = SettingsRecord{};
        ASSERT_TRUE(sLoadSettings());
        Settings.COM.TIMER = 50;  // Timer1 does not tick by itself between the test's ticks
        Settings.COM.CKSUM = 10;
        Settings.EXT.KEEPMB = 1;  // what is beyond it goes as watching starts
        writeFileBytes(oldSnapshot, QByteArray(2 << 20, 'o'));
        setPreferredCamera(QStringLiteral("demo"));
        setDemoSceneClock([this] { return sceneMs.load(); });
        watcher = std::make_unique<Watcher>();
        QObject::connect(watcher.get(), &Watcher::ticked, [this](int32_t count, const QImage&) { counts.push_back(count); });
        QObject::connect(watcher.get(), &Watcher::levelShown, [this](AlarmLevel level) { levels.push_back(level); });
        QObject::connect(watcher.get(), &Watcher::statusShown, [this](const QString& text) { status = text; });
        QObject::connect(watcher.get(), &Watcher::alarmShown, [this](const QString& text) { lastAlarm = text; });
        ASSERT_TRUE(watcher->connectCamera());
        EXPECT_EQ(hCapWnd->previewRate(), 66);
        watcher->startWatching();
    }
    void TearDown() override
    {
        watcher.reset();
        setDemoSceneClock({});
        setPreferredCamera(QString());
    }

    // Waits for a frame of scene time `ms`: the one after the latest may have been begun before the change.
    void showScene(int64_t ms)
    {
        sceneMs = ms;
        uint64_t latest = 0;
        hCapWnd->latestFrame(&latest);
        ASSERT_TRUE(hCapWnd->waitForFrameAfter(latest + 1, std::chrono::seconds(10)));
    }
    void tickAt(int64_t ms)
    {
        showScene(ms);
        watcher->Timer1_Timer();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !watcher->isAlarmRunning(); }, 60000));
    }
    bool timeLineIsRed() const
    {
        return watcher->timeLine().image().pixel(TimeLine::slotX(QTime::currentTime()), TimeLine::kTopY + 1) ==
               qRgb(255, 0, 0);
    }

    TempAppFolder home;
    const QString oldSnapshot = home.filePath(QStringLiteral("img/240101000000_ALERT.jpg"));
    std::atomic<int64_t> sceneMs{kCalm};
    std::unique_ptr<Watcher> watcher;
    std::vector<int32_t> counts;
    std::vector<AlarmLevel> levels;
    QString status, lastAlarm;
};

// A light switched on brightens the whole room: an alarm as described, unless
// the light rule is on; then the count is still told and a walker still alarms,
// its sound repeating, and the tick after an alarm is calm and closes the sound.
TEST_F(WatcherTest, ALightAlarmsOnlyWithoutTheLightRuleAnIntruderAlwaysAndTheNextTickIsCalm)
{
    // No speakers here; a stopped clock makes the sound play until it is closed.
    useAudioOutput(std::make_unique<SilentAudioOutput>([] { return std::chrono::steady_clock::time_point{}; }));
    const auto noSpeakers = qScopeGuard([] { useAudioOutput(nullptr); });
    Settings.COM.SoundPath = qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + QStringLiteral("/media/bark.wav");
    for (const bool lightCut : {false, true}) {
        SCOPED_TRACE(lightCut ? "light rule on" : "light rule off");
        EXPECT_FALSE(QFile::exists(oldSnapshot));
        Settings.EXT.LIGHTCUT = lightCut;
        // The camera's controls outlive the connection: the room starts at its usual light.
        ASSERT_TRUE(hCapWnd->setControl(DemoDriver::kBrightness, 0));
        tickAt(kCalm);
        tickAt(kCalm + 1000);
        EXPECT_EQ(levels.back(), AlarmLevel::Calm);
        EXPECT_EQ(status, QStringLiteral("Houndly: 大丈夫ワン！"));
        ASSERT_TRUE(hCapWnd->setControl(DemoDriver::kBrightness, 40));
        showScene(kCalm + 2000);  // a frame read before the change may come first
        tickAt(kCalm + 2000);
        EXPECT_GT(counts.back(), 10);
        EXPECT_EQ(levels.back() == AlarmLevel::Alarm, !lightCut);
        EXPECT_EQ(status == lightChangeStatusText(), lightCut);

        lastAlarm.clear();
        tickAt(kCalm + 3000);
        const QString older =
            writeFileBytes(home.filePath(QStringLiteral("img/240102000000_ALERT.jpg")), QByteArray(2 << 20, 'o'));
        tickAt(kIntruder);
        EXPECT_FALSE(QFile::exists(older)) << "the alarm's end holds the cap";
        EXPECT_GT(counts.back(), 10);
        EXPECT_EQ(levels.back(), AlarmLevel::Alarm);
        EXPECT_EQ(status, QStringLiteral("Houndly: 警報！ 誰かいたワン！!"));
        EXPECT_TRUE(lastAlarm.startsWith(QStringLiteral("最終警報: ")));
        EXPECT_TRUE(timeLineIsRed());
        const std::vector<TimeLineSlot> kept = loadTimeLineSlots(timeLinePath());
        EXPECT_TRUE(!kept.empty() && kept.back().bars.size() == 1 && kept.back().bars[0].level == AlarmLevel::Alarm)
            << "the file keeps each alarm at once";
        EXPECT_EQ(watcher->Timer1->interval(), 5000) << "re-armed at TIMER x 100 ms";
        EXPECT_EQ(GetSoundMode(Settings.COM.SoundPath), QStringLiteral("PLAYING"));
        EXPECT_EQ(watcher->Timer2->interval(), 100) << "the sound repeats every 100 ms";
        // No mail, and still the alarm keeps its picture.
        const std::optional<AlarmRecord> alarm = readLatestAlarm(historyLogPath());
        ASSERT_TRUE(alarm && alarm->snapshots.size() == 1);
        // What went is in the history; the alarm's own picture stays (below).
        const QSet<QString> removed = readHistory(historyLogPath()).removedFiles;
        EXPECT_TRUE(removed.contains(QStringLiteral("img/240101000000_ALERT.jpg")) &&
                    removed.contains(QStringLiteral("img/240102000000_ALERT.jpg")));
        EXPECT_EQ(QImage(absoluteHistoryPath(alarm->snapshots[0])).size(), QSize(640, 480));

        // The tick after an alarm takes a new reference; the one after compares again.
        tickAt(kIntruder + 500);
        EXPECT_EQ(counts.back(), 0);
        EXPECT_EQ(levels.back(), AlarmLevel::Calm);
        EXPECT_FALSE(watcher->Timer2->isActive());
        EXPECT_EQ(mciSendString(QStringLiteral("close \"%1\"").arg(Settings.COM.SoundPath)).error, SoundError::DeviceNotOpen);
        tickAt(kIntruder + 1000);
        EXPECT_GT(counts.back(), 10);
        hCapWnd->setControl(DemoDriver::kBrightness, 0);
    }
    // The close silences an alarm's sound.
    watcher->shutDown();
    EXPECT_FALSE(watcher->Timer2->isActive());
    EXPECT_EQ(mciSendString(QStringLiteral("close \"%1\"").arg(Settings.COM.SoundPath)).error, SoundError::DeviceNotOpen);
}

// KEEPWATCH against a server that holds each message 4 s after DATA before it
// answers: the detector ticks on by itself through the mail, the clip and the
// upload (no gap near the server's hold); an intruder crossing during the held
// mail is alarmed, waits its turn and is mailed, recorded and uploaded when the
// server answers; the status tells what still runs; a close during a held mail
// ends it at once.
TEST_F(WatcherTest, WatchingThroughAHeldMailAlarmsTheNextIntruderAndHandlesItAfterwards)
{
    const QString records = home.filePath(QStringLiteral("smtp.jsonl"));
    ServerProcess smtp(QStringLiteral("smtp_server.py"),
                       {QStringLiteral("--record"), records, QStringLiteral("--delay"), QStringLiteral("4")});
    FtpTestServer ftp;
    ASSERT_TRUE(smtp.port() > 0 && ftp.running());
    useLoopbackAccounts(smtp.port(), ftp.port());
    FtpClientProgram = HOUNDLY_FTP_CLIENT;
    Settings.FTP.MOVE = Settings.FTP.FTP = QStringLiteral("True");
    Settings.FTP.TIME = 1;
    Settings.TRG[0] = {QStringLiteral("True"), QStringLiteral("owner@example.net"), QStringLiteral("警報"), {}, 0, 0, {}, 0};
    Settings.EXT.KEEPWATCH = true;
    Settings.COM.TIMER = 1;
    watcher->startDetector();
    using Kind = WatchEvent::Kind;
    std::vector<Kind> told;
    watcher->events().add([&told](const WatchEvent& event) { told.push_back(event.kind); });
    QStringList progress;
    QObject::connect(watcher.get(), &Watcher::alarmProgress, [&progress](const QString& text, bool mailing) {
        progress << text + (mailing ? " (mailing)" : "");
    });
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> ticks;
    QObject::connect(watcher.get(), &Watcher::ticked, [&](int32_t, const QImage&) { ticks.push_back(clock.elapsed()); });
    const auto count = [&told](Kind kind) { return std::count(told.begin(), told.end(), kind); };
    const auto waitTicks = [&](size_t more) {
        const size_t until = ticks.size() + more;
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= until; }, 10000));
    };

    waitTicks(2);
    sceneMs = kIntruder;
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(Kind::Alarm) == 1; }, 10000));
    const size_t alarmTick = ticks.size();
    waitTicks(3);  // past the new reference
    sceneMs = kIntruder + 1500;
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress.last().contains("待ち 1"); }, 10000));
    EXPECT_EQ(levels.back(), AlarmLevel::Alarm);
    EXPECT_EQ(count(Kind::MailSent), 0) << "the second intruder came during the first mail";

    ASSERT_TRUE(QTest::qWaitFor([this] { return !watcher->isAlarmRunning(); }, 60000));
    EXPECT_EQ(readRecords(records, QStringLiteral("message")).size(), 2);
    // Each has its record from its start, and is mailed, recorded and uploaded in turn.
    const std::vector<Kind> handled = {Kind::Alarm,    Kind::Snapshot,  Kind::MailSent, Kind::ClipRecorded,
                                       Kind::Uploaded, Kind::AlarmOver};
    std::vector<Kind> twice = handled;
    twice.insert(twice.end(), handled.begin(), handled.end());
    EXPECT_EQ(told, twice);
    EXPECT_EQ(QDir(ftp.root()).entryList(QDir::Files).size(), 2);
    qint64 longestGap = 0;
    for (size_t i = alarmTick; i < ticks.size(); ++i)
        longestGap = std::max(longestGap, ticks[i] - ticks[i - 1]);
    EXPECT_LT(longestGap, 2000) << "the detector waited for the held mail";
    EXPECT_EQ(progress, (QStringList{"警報: ﾒｰﾙ送信中･･･ (mailing)", "警報: ﾒｰﾙ送信中･･･ (待ち 1) (mailing)",
                                     "警報: 動画録画中･･･ (待ち 1)", "警報: FTPで送信中･･･ (待ち 1)",
                                     "警報: ﾒｰﾙ送信中･･･ (mailing)", "警報: 動画録画中･･･", "警報: FTPで送信中･･･", ""}));

    sceneMs = kCalm + 30000;  // the next crossing
    waitTicks(3);
    sceneMs = kIntruder + 30000;
    ASSERT_TRUE(QTest::qWaitFor([this] { return watcher->isAlarmRunning(); }, 10000));
    QElapsedTimer closing;
    closing.start();
    watcher->shutDown();
    EXPECT_LT(closing.elapsed(), 3000);
    EXPECT_EQ(told.back(), Kind::Stopped);
    // The cut mail is the last of that alarm: no clip is begun, none waits to be sent.
    EXPECT_EQ(QDir(home.filePath(QStringLiteral("avi"))).entryList({QStringLiteral("*_ALERT*.AVI*")}).size(), 2);
    EXPECT_EQ(pendingUploads(home.path()), QStringList());
}

// Watching through an alarm held by its clip, at most five alarms wait behind
// it: one more drops the oldest waiting, and that is told.
TEST_F(WatcherTest, AtMostFiveAlarmsWaitBehindTheRunningOneAndTheOldestIsDropped)
{
    Settings.EXT.KEEPWATCH = true;
    Settings.COM.TIMER = 1;
    Settings.FTP.MOVE = QStringLiteral("True");
    Settings.FTP.TIME = 20;  // the first alarm records all along
    watcher->startDetector();
    std::vector<int32_t> dropped;
    watcher->events().add([&dropped](const WatchEvent& event) {
        if (event.kind == WatchEvent::Kind::AlarmDropped)
            dropped.push_back(event.count);
    });
    QString progress;
    QObject::connect(watcher.get(), &Watcher::alarmProgress, [&progress](const QString& text, bool) { progress = text; });
    const auto alarms = [this] { return std::count(levels.begin(), levels.end(), AlarmLevel::Alarm); };
    std::vector<int32_t> alarmCounts;
    ASSERT_TRUE(QTest::qWaitFor([this] { return counts.size() >= 2; }, 10000));  // a reference of the calm scene
    for (size_t i = 0; i <= Watcher::kMostWaitingAlarms + 1; ++i) {
        const auto before = alarms();
        // Each differs from the reference the last alarm took; the walker in two places, for two counts.
        sceneMs = i % 2 == 0 ? kIntruder + int64_t(i % 4) * 250 : kCalm;
        ASSERT_TRUE(QTest::qWaitFor([&] { return alarms() > before; }, 10000)) << i;
        alarmCounts.push_back(counts.back());
        const size_t ticks = counts.size();
        ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() >= ticks + 2; }, 10000));  // past the new reference
    }
    EXPECT_EQ(progress, QStringLiteral("警報: 動画録画中･･･ (待ち 5)"));
    EXPECT_EQ(dropped, std::vector<int32_t>{alarmCounts[1]}) << testing::PrintToString(alarmCounts);
    watcher->shutDown();
}

// A command that hangs holds nothing up: the tick that raised the alarm
// returns with it running and the detector ticks on by itself; at its limit
// the command ends with what it started, and the alarm's record tells so.
TEST_F(WatcherTest, AHangingAlarmCommandEndsAtItsLimitWhileTheTicksGoOn)
{
    EXPECT_EQ(AlarmCommandTimeLimit, std::chrono::seconds(60));
    const auto restore = qScopeGuard([] { AlarmCommandTimeLimit = std::chrono::seconds(60); });
    AlarmCommandTimeLimit = std::chrono::milliseconds(1500);
    const QString pidFile = home.filePath(QStringLiteral("sleeper"));
    Settings.EXT.ONALARM = QStringLiteral("sh -c 'sleep 600 & echo $! > \"$0\"; wait' ") + pidFile;
    Settings.COM.TIMER = 1;
    tickAt(kCalm);
    tickAt(kIntruder);
    ASSERT_EQ(levels.back(), AlarmLevel::Alarm);
    EXPECT_TRUE(watcher->Timer1->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !readFileBytes(pidFile).isEmpty(); }, 5000));
    const pid_t sleeper = readFileBytes(pidFile).trimmed().toInt();
    const size_t ticks = counts.size();
    QList<CommandResult> commands;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const HistoryContents history = readHistory(historyLogPath());
            commands = history.alarms.empty() ? QList<CommandResult>() : history.alarms.back().commands;
            return !commands.isEmpty();
        },
        10000));
    EXPECT_EQ(commands, (QList<CommandResult>{{QStringLiteral("ONALARM"), false, QStringLiteral("ended after 1.5 s")}}));
    // A tick every 100 ms meanwhile: well over five in the second and a half.
    EXPECT_GE(counts.size() - ticks, 5u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(sleeper, 0) != 0; }, 5000));
}

// A clip with pre-event frames reaches PRETIME back from the frame that raised
// the alarm, and runs TIME seconds after the recording step, which waited for
// a mail the server held.
TEST_F(WatcherTest, APreEventClipReachesBackFromTheAlarmFrameAndRunsItsLengthAfterAHeldMail)
{
    using Clock = std::chrono::steady_clock;
    ServerProcess smtp(QStringLiteral("smtp_server.py"), {QStringLiteral("--record"), home.filePath(QStringLiteral("smtp.jsonl")),
                                                          QStringLiteral("--delay"), QStringLiteral("2")});
    ASSERT_GT(smtp.port(), 0);
    useLoopbackAccounts(smtp.port(), 0);
    Settings.TRG[0] = {QStringLiteral("True"), QStringLiteral("owner@example.net"), QStringLiteral("警報"), {}, 0, 0, {}, 0};
    Settings.FTP.MOVE = QStringLiteral("True");
    Settings.FTP.TIME = 1;  // the recorder takes any length; the settings file keeps 5..30
    Settings.EXT.PRETIME = 2;
    watcher->startDetector();  // takes the pre-event length
    Clock::time_point recordingStep;
    QObject::connect(watcher.get(), &Watcher::alarmStepShown, [&recordingStep](const QString& text) {
        if (text == QStringLiteral("Houndly: 動画録画中･･･"))
            recordingStep = Clock::now();
    });
    const auto keptSince = [] {
        const std::shared_ptr<const PreEventBuffer> kept = hCapWnd->preEventBuffer();
        const std::vector<KeptFrame> frames = kept ? kept->framesAfter(Clock::time_point::min()) : std::vector<KeptFrame>();
        return frames.empty() ? Clock::now() : frames.front().time;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return Clock::now() - keptSince() > std::chrono::seconds(3); }, 10000));
    tickAt(kCalm);
    tickAt(kIntruder);
    const Clock::time_point alarmFrame = hCapWnd->grabbedFrameStamp().time;
    EXPECT_GE(recordingStep - alarmFrame, std::chrono::seconds(2)) << "the mail came first";
    const std::optional<AlarmRecord> alarm = readLatestAlarm(historyLogPath());
    ASSERT_TRUE(alarm && alarm->clipRecorded);
    const ClipFacts facts = probeClip(absoluteHistoryPath(alarm->clip));
    const std::chrono::duration<double> expected = recordingStep + std::chrono::seconds(1) - (alarmFrame - std::chrono::seconds(2));
    EXPECT_NEAR(facts.frames / 30.0, expected.count(), 0.25);
}

// In the background the clips go up one after the other, in order, while the
// detector goes on: an alarm ends with its upload still running.
TEST_F(WatcherTest, InTheBackgroundClipsGoUpInOrderWhileTheDetectorTicks)
{
    FtpTestServer ftp;
    ASSERT_TRUE(ftp.running());
    useLoopbackAccounts(0, ftp.port());
    // A client that first waits two seconds: the first upload still runs at the second alarm.
    FtpClientProgram = writeFileBytes(home.filePath(QStringLiteral("slow-client.sh")),
                                      QStringLiteral("#!/bin/sh\nsleep 2\nexec '%1' \"$@\"\n").arg(HOUNDLY_FTP_CLIENT).toUtf8());
    QFile::setPermissions(FtpClientProgram, QFile::ReadOwner | QFile::ExeOwner);
    Settings.FTP.MOVE = Settings.FTP.FTP = QStringLiteral("True");
    Settings.FTP.TIME = 1;
    Settings.EXT.BGUPLOAD = true;
    QStringList uploaded;
    watcher->events().add([&uploaded](const WatchEvent& event) {
        if (event.kind == WatchEvent::Kind::Uploaded)
            uploaded << event.name + (event.ok ? "" : " failed");
    });
    tickAt(kCalm);
    tickAt(kIntruder);
    tickAt(kIntruder + 500);  // the tick after an alarm takes a new reference
    tickAt(kIntruder + 1000);
    const QStringList clips = QDir(home.filePath(QStringLiteral("avi"))).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(clips.size(), 2);
    EXPECT_TRUE(watcher->Timer1->isActive());
    EXPECT_TRUE(uploaded.isEmpty()) << "the first upload is still running";
    ASSERT_TRUE(QTest::qWaitFor([this] { return !watcher->uploads().isBusy(); }, 60000));
    EXPECT_EQ(uploaded, clips);
    for (const QString& clip : clips)
        EXPECT_EQ(ftp.fileContent(clip), readFileBytes(home.filePath(QStringLiteral("avi/") + clip))) << clip.toStdString();
}

// A clip still waiting for its upload stays at the start, whatever the cap.
TEST_F(WatcherTest, AClipWaitingForItsUploadOutlastsTheCapAtTheStart)
{
    watcher.reset();
    const QString clip =
        writeFileBytes(home.filePath(QStringLiteral("avi/240101000000_ALERT.AVI")), QByteArray(2 << 20, 'c'));
    ASSERT_TRUE(notePendingUpload(home.path(), clip));
    Settings.FTP.FTP = QStringLiteral("True");
    Settings.FTP.HOST = QStringLiteral("127.0.0.1 %1").arg(closedLoopbackPort());
    FtpClientProgram = HOUNDLY_FTP_CLIENT;
    watcher = std::make_unique<Watcher>();
    ASSERT_TRUE(watcher->connectCamera());
    watcher->startWatching();
    EXPECT_TRUE(QFile::exists(clip));
}

}  // namespace
