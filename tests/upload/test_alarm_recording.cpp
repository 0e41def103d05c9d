// sStartAVI end to end: the demo camera, the clip folder, houndly-ftp and a real FTP server.
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "settings/Settings.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/LoopbackServers.h"
#include "upload/AlarmRecording.h"
#include "upload/FtpScriptRunner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

namespace {

const QString kRecording = QStringLiteral("Houndly: 動画録画中･･･");
const QString kSending = QStringLiteral("Houndly: FTPで送信中･･･");

class AlarmRecordingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("HOUNDLY_HOME", home_.path().toUtf8());
        setPreferredCamera(QStringLiteral("demo"));
        ASSERT_TRUE(capDriverConnect(&window_, 0));
        hCapWnd = &window_;
        FtpClientProgram = QStringLiteral(HOUNDLY_FTP_CLIENT);
        Settings.FTP = {};
        Settings.FTP.TIME = 1;  // the recorder takes any length; the settings file keeps 5..30
        Settings.FTP.HOST = QStringLiteral("127.0.0.1 %1").arg(server_.port());
        Settings.FTP.USER = FtpTestServer::kUser;
        Settings.FTP.PASS = FtpTestServer::kPassword;
    }
    void TearDown() override
    {
        hCapWnd = nullptr;
        setPreferredCamera({});
        Settings.FTP = {};
    }

    void startAlarmRecording(const char* move, const char* ftp, const char* fixedName, const char* folder = "")
    {
        Settings.FTP.MOVE = QString::fromLatin1(move);
        Settings.FTP.FTP = QString::fromLatin1(ftp);
        Settings.FTP.FILENAME = QString::fromLatin1(fixedName);
        Settings.FTP.HOLDER = QString::fromLatin1(folder);
        statuses_.clear();
        sStartAVI([this](const QString& text) { statuses_ << text; });
    }

    QDir clipFolder() const { return QDir(home_.filePath(QStringLiteral("avi"))); }
    // The time-stamped clips, oldest first.
    QStringList clips() const
    {
        static const QRegularExpression clipName(QStringLiteral("^\\d{12}_ALERT\\.AVI$"));
        return clipFolder().entryList(QDir::Files, QDir::Name).filter(clipName);
    }
    QByteArray localFile(const QString& name) const
    {
        QFile file(clipFolder().filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool scriptLeft() const { return QFile::exists(home_.filePath(QStringLiteral("FTP_PUT.txt"))); }

    QTemporaryDir home_;
    FtpTestServer server_;
    CaptureWindow window_;
    QStringList statuses_;
};

TEST_F(AlarmRecordingTest, WithoutRecordingNothingHappensEvenWithUploadOn)
{
    startAlarmRecording("False", "True", "True");
    EXPECT_TRUE(statuses_.isEmpty());
    EXPECT_TRUE(clipFolder().entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(server_.root()).entryList(QDir::Files).isEmpty());
}

TEST_F(AlarmRecordingTest, RecordingAloneKeepsAPlayableClipAndMakesNoCopy)
{
    // The clip folder is made again when it is missing.
    ASSERT_TRUE(clipFolder().removeRecursively());
    startAlarmRecording("True", "False", "True");
    EXPECT_EQ(statuses_, QStringList{kRecording});
    ASSERT_EQ(clips().size(), 1);
    EXPECT_FALSE(clipFolder().exists(QStringLiteral("ALERT.AVI")));
    const ClipFacts clip = probeClip(clipFolder().filePath(clips().front()));
    EXPECT_TRUE(clip.decodes);
    EXPECT_EQ(clip.frameRate, QStringLiteral("30/1"));
    EXPECT_LE(std::abs(clip.durationSeconds - 1.0), 1.0 / 30);
    EXPECT_TRUE(QDir(server_.root()).entryList(QDir::Files).isEmpty());
}

TEST_F(AlarmRecordingTest, UploadsTheClipUnderItsTimeStampedName)
{
    ASSERT_TRUE(server_.running());
    startAlarmRecording("True", "True", "False");
    EXPECT_EQ(statuses_, (QStringList{kRecording, kSending}));
    ASSERT_EQ(clips().size(), 1);
    const QString name = clips().front();
    EXPECT_FALSE(localFile(name).isEmpty());
    EXPECT_EQ(server_.fileContent(name), localFile(name));
    EXPECT_FALSE(clipFolder().exists(QStringLiteral("ALERT.AVI")));
    EXPECT_FALSE(scriptLeft());
}

TEST_F(AlarmRecordingTest, TheFixedNameCopyReplacesTheEarlierOneInTheFolder)
{
    ASSERT_TRUE(server_.running());
    for (int alarm = 1; alarm <= 2; ++alarm) {
        startAlarmRecording("True", "True", "True", "sub");
        ASSERT_EQ(clips().size(), alarm);
        const QByteArray latest = localFile(clips().back());
        EXPECT_EQ(localFile(QStringLiteral("ALERT.AVI")), latest) << alarm;
        EXPECT_EQ(server_.fileContent(QStringLiteral("sub/ALERT.AVI")), latest) << alarm;
        EXPECT_FALSE(scriptLeft());
    }
    EXPECT_NE(localFile(clips().front()), localFile(clips().back()));
    EXPECT_EQ(QDir(server_.root()).entryList(QDir::Files), QStringList());  // nothing outside "sub"
}

TEST_F(AlarmRecordingTest, AFailedCopyStillSendsTheClipUnderTheFixedName)
{
    ASSERT_TRUE(server_.running());
    ASSERT_TRUE(QDir().mkpath(clipFolder().filePath(QStringLiteral("ALERT.AVI"))));  // a folder cannot be replaced by the copy
    startAlarmRecording("True", "True", "True");
    ASSERT_EQ(clips().size(), 1);
    EXPECT_EQ(server_.fileContent(QStringLiteral("ALERT.AVI")), localFile(clips().front()));
    EXPECT_FALSE(scriptLeft());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);  // recording and the wait run its event loop
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
