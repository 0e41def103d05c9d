// The alarm clip and its upload end to end: the demo camera, the clip folder,
// the upload queue, houndly-ftp and a real FTP server.
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "settings/Settings.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"
#include "upload/AlarmRecording.h"
#include "upload/FtpScriptRunner.h"
#include "upload/PendingUploads.h"
#include "upload/UploadQueue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kRecording = "Houndly: 動画録画中･･･";

struct Alarm {
    const char* name;
    QString move, ftp, fixedName, folder;
    int alarms;
    bool uploaded;
    QString remote;            // where the latest clip lands; "" under its own name
    bool localCopy;            // "ALERT.AVI" beside the clips
    bool copyBlocked = false;  // a folder stands where the copy goes
};

void PrintTo(const Alarm& alarm, std::ostream* out) { *out << alarm.name; }

const Alarm kAlarms[] = {
    {"NotRecording", "False", "True", "True", "", 1, false, "", false},
    {"RecordingOnly", "True", "False", "True", "", 1, false, "", false},
    {"UploadUnderTheTimeStamp", "True", "True", "False", "", 1, true, "", false},
    {"FixedNameReplacedInTheFolder", "True", "True", "True", "sub", 2, true, "sub/ALERT.AVI", true},
    {"FixedNameSentWhenTheCopyFails", "True", "True", "True", "", 1, true, "ALERT.AVI", false, true},
};

class AlarmRecordingTest : public ::testing::TestWithParam<Alarm> {
protected:
    void SetUp() override
    {
        useTestLanguage("ja");
        setPreferredCamera("demo");
        ASSERT_TRUE(capDriverConnect(&window_, 0));
        hCapWnd = &window_;
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        // The recorder takes any length; the settings file keeps 5..30.
        Settings.FTP = {"", "", QString("127.0.0.1 %1").arg(server_.port()), FtpTestServer::kUser,
                        FtpTestServer::kPassword, "", "", 1, ""};
    }
    void TearDown() override
    {
        hCapWnd = nullptr;
        setPreferredCamera({});
        Settings.FTP = {};
        Settings.EXT = {};
    }

    QDir clipFolder() const { return QDir(home_.filePath("avi")); }
    // The time-stamped clips, oldest first.
    QStringList clips() const
    {
        static const QRegularExpression clipName("^\\d{12}_ALERT\\.AVI$");
        return clipFolder().entryList(QDir::Files, QDir::Name).filter(clipName);
    }
    QByteArray localFile(const QString& name) const { return readFileBytes(clipFolder().filePath(name)); }

    QCoreApplication& application_ = testApplication();  // the recording and the upload report through its event loop
    TempAppFolder home_;
    FtpTestServer server_;
    CaptureWindow window_;
    AlarmClip clip_;
    UploadQueue uploads_;
};

TEST_P(AlarmRecordingTest, RecordsAndUploadsAsSet)
{
    const Alarm& alarm = GetParam();
    ASSERT_TRUE(server_.running());
    ASSERT_TRUE(clipFolder().removeRecursively());  // made again when missing
    ASSERT_TRUE(!alarm.copyBlocked || QDir().mkpath(clipFolder().filePath("ALERT.AVI")));
    std::tie(Settings.FTP.MOVE, Settings.FTP.FTP, Settings.FTP.FILENAME, Settings.FTP.HOLDER) =
        std::tie(alarm.move, alarm.ftp, alarm.fixedName, alarm.folder);
    for (int run = 1; run <= alarm.alarms; ++run) {
        QStringList statuses;
        std::optional<WatchEvent> told;
        std::optional<ClipUpload> upload;
        const bool recording = clip_.sRecordAlarmClip([&](const QString& text) { statuses << text; },
                                                      [&](const WatchEvent& clip, const std::optional<ClipUpload>& asked) {
                                                          told = clip;
                                                          upload = asked;
                                                      });
        EXPECT_EQ(recording, alarm.move == "True") << run;
        EXPECT_EQ(statuses, recording ? QStringList{kRecording} : QStringList{}) << run;
        ASSERT_TRUE(!recording || QTest::qWaitFor([&] { return told.has_value(); }, 60000)) << run;
        EXPECT_TRUE(!recording || (told->kind == WatchEvent::Kind::ClipRecorded && told->ok)) << run;
        EXPECT_EQ(upload.has_value(), recording && alarm.ftp == "True") << run;
        // Pending from the recording's start, so that no kill falls between clip and upload; not once sent.
        const QStringList pendingWhileSending = pendingUploads(home_.path());
        EXPECT_EQ(pendingWhileSending.size(), upload ? 1 : 0) << run;
        if (upload) {
            uploads_.add(*upload);
            ASSERT_TRUE(QTest::qWaitFor([this] { return !uploads_.isBusy(); }, 60000)) << run;
        }
        EXPECT_EQ(pendingUploads(home_.path()), QStringList{}) << run;
        ASSERT_EQ(clips().size(), alarm.move == "True" ? run : 0) << run;
        if (clips().isEmpty())
            continue;
        EXPECT_TRUE(pendingWhileSending.isEmpty() || pendingWhileSending.front().endsWith(clips().back())) << run;
        // TIME seconds at 30 frames a second, the demo camera's pace aside.
        const ClipFacts facts = probeClip(clipFolder().filePath(clips().back()));
        EXPECT_EQ(facts.frameRate, "30/1") << run;
        EXPECT_NEAR(facts.durationSeconds, Settings.FTP.TIME, 0.25) << run;
        const QByteArray latest = localFile(clips().back());
        const QString remote = alarm.remote.isEmpty() ? clips().back() : alarm.remote;
        EXPECT_EQ(QFileInfo(clipFolder().filePath("ALERT.AVI")).isFile(), alarm.localCopy) << run;
        EXPECT_EQ(alarm.localCopy ? localFile("ALERT.AVI") : latest, latest) << run;
        EXPECT_EQ(server_.fileContent(remote) == latest, alarm.uploaded) << run;
        EXPECT_EQ(QDir(server_.root()).entryList(QDir::Files),
                  alarm.uploaded && !remote.contains('/') ? QStringList{remote} : QStringList{}) << run;
        // The clips show the user's home: for the user alone, the fixed-name copy too.
        for (const QFileInfo& file : clipFolder().entryInfoList(QDir::Files))
            EXPECT_EQ(file.permissions() & 0x0077, 0) << file.fileName().toStdString();
    }
    EXPECT_TRUE(alarm.alarms < 2 || localFile(clips().front()) != localFile(clips().back())) << "two different clips";
}

// A clip begun at the alarm (pre-event recording) is finished and kept when
// recording is turned off before the recording step, rather than running on.
TEST_F(AlarmRecordingTest, AClipBegunAtTheAlarmIsFinishedWhenRecordingWasTurnedOff)
{
    Settings.EXT.PRETIME = 1;
    // Without recording nothing is kept nor begun.
    sKeepPreEventFrames();
    clip_.sStartAlarmClip();
    EXPECT_FALSE(clip_.sRecordAlarmClip({}, {}));
    Settings.FTP.MOVE = "True";
    sKeepPreEventFrames();
    clip_.sStartAlarmClip();
    Settings.FTP.MOVE = "False";
    std::optional<WatchEvent> told;
    EXPECT_TRUE(clip_.sRecordAlarmClip({}, [&](const WatchEvent& clip, const std::optional<ClipUpload>&) { told = clip; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return told.has_value(); }, 30000));
    EXPECT_TRUE(told->ok);
    EXPECT_EQ(clips().size(), 1);
    Settings.EXT.PRETIME = 0;
}

// At the start a clip whose upload a close or a kill cut short goes up again,
// once uploading is on; one whose recording a kill ended leaves the list.
TEST(ResumeCutUploads, ACutClipGoesAgainOnceUploadingIsOnAndAMissingOneIsForgotten)
{
    testApplication();
    TempAppFolder home;
    ASSERT_TRUE(QDir().mkpath(home.filePath("avi")));
    const QString kept = writeFileBytes(home.filePath("avi/260101120000_ALERT.AVI"), "clip");
    const QString later = writeFileBytes(home.filePath("avi/260101130000_ALERT.AVI"), "clip");
    const QString gone = home.filePath("avi/260101110000_ALERT.AVI");
    // As a hand or an older version may leave it: a clip twice, and an entry that is none.
    writeFileBytes(home.filePath(kPendingUploadsName),
                   QString("{\"clips\":[\"%1\",\"%2\",7,\"%2\",\"%3\"]}").arg(gone, kept, later).toUtf8());
    Settings.FTP = {"True", "False", QString("127.0.0.1 %1").arg(closedLoopbackPort()), "u", "p", "", "", 1, ""};
    Settings.EXT.FTPMODE = "TLS";  // refused at once: the upload log tells what went, and with the mode stored
    UploadQueue queue;
    sResumeCutUploads(queue);
    EXPECT_FALSE(queue.isBusy());
    EXPECT_EQ(pendingUploads(home.path()), (QStringList{gone, kept, later})) << "kept until uploading is on";
    Settings.FTP.FTP = "True";
    sResumeCutUploads(queue);
    EXPECT_FALSE(queue.isBusy());
    EXPECT_FALSE(QFile::exists(home.filePath(kPendingUploadsName))) << "an empty list stays";
    const QString log = QString::fromUtf8(readFileBytes(home.filePath("ftp.log.txt")));
    EXPECT_EQ(log.count("----"), 2) << log.toStdString();
    EXPECT_LT(log.indexOf(kept), log.indexOf(later)) << "oldest first";
    EXPECT_TRUE(log.contains(QString("* PUT \"%1\" 260101120000_ALERT.AVI\n= not uploaded: refused: the encryption \"TLS\"").arg(kept)))
        << log.toStdString();
    Settings.FTP = {};
    Settings.EXT = {};
}

INSTANTIATE_TEST_SUITE_P(FtpSettings, AlarmRecordingTest, ::testing::ValuesIn(kAlarms),
                         [](const ::testing::TestParamInfo<Alarm>& row) { return std::string(row.param.name); });

}  // namespace
