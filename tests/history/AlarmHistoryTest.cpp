#include "history/AlarmHistory.h"
#include "history/HistoryLog.h"
#include "settings/DiskSpace.h"
#include "settings/Settings.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/QtPrinters.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using Kind = WatchEvent::Kind;

class AlarmHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings = SettingsRecord{};
        Settings.MAIL.SMTPPASS = QStringLiteral("s3cret-pw");
        Settings.FTP.PASS = QStringLiteral("bark twice");
    }
    QString log() const { return home.filePath(QStringLiteral("history.log")); }
    QString inApp(const QString& name) const { return home.filePath(name); }
    static void tell(Kind kind, bool ok = true, const QString& name = {}, const QString& detail = {},
                     const QString& clip = {})
    {
        tellWatchEvent({.kind = kind, .ok = ok, .name = name, .detail = detail, .clip = clip});
    }
    void alarm(int32_t count) const { tellWatchEvent({.kind = Kind::Alarm, .count = count, .alarmCount = 100}); }

    TempAppFolder home;
};

TEST_F(AlarmHistoryTest, AnAlarmsEventsMakeOneRecordWithoutPasswords)
{
    AlarmHistory history(log());
    tell(Kind::Snapshot, true, inApp(QStringLiteral("img/240501120000_TEST.jpg")));  // no alarm: not recorded
    const QDateTime before = QDateTime::currentDateTime();
    alarm(412);
    tell(Kind::Snapshot, true, inApp(QStringLiteral("img/240501120309_ALERT.jpg")));
    tell(Kind::MailSent, true, QStringLiteral("A"), QStringLiteral("owner@example.net"));
    tell(Kind::Snapshot, false, inApp(QStringLiteral("img/240501120310_ALERT.jpg")), diskFullText());
    tell(Kind::MailSent, false, QStringLiteral("C"), QStringLiteral("AUTH failed for s3cret-pw"));
    tell(Kind::ClipRecorded, true, inApp(QStringLiteral("avi/240501120312_ALERT.AVI")));
    tell(Kind::Uploaded, false, QStringLiteral("ALERT.AVI"), QStringLiteral("login bark twice refused"),
         inApp(QStringLiteral("avi/240501120312_ALERT.AVI")));
    EXPECT_TRUE(readHistory(log()).alarms.empty()) << "written before the alarm is over";
    tell(Kind::AlarmOver);

    const HistoryContents contents = readHistory(log());
    ASSERT_EQ(contents.alarms.size(), 1u);
    const AlarmRecord& record = contents.alarms[0];
    EXPECT_GE(record.time, before);
    EXPECT_LE(record.time, QDateTime::currentDateTime());
    EXPECT_EQ(record.count, 412);
    EXPECT_EQ(record.alarmCount, 100);
    EXPECT_EQ(record.snapshots, QStringList{QStringLiteral("img/240501120309_ALERT.jpg")});
    EXPECT_EQ(record.snapshotFailures, QStringList{diskFullText()});
    EXPECT_EQ(record.mails, (QList<MailResult>{{QStringLiteral("A"), true, QStringLiteral("owner@example.net")},
                                               {QStringLiteral("C"), false, QStringLiteral("AUTH failed for ****")}}));
    EXPECT_EQ(record.clip, QStringLiteral("avi/240501120312_ALERT.AVI"));
    EXPECT_TRUE(record.clipRecorded);
    EXPECT_EQ(record.upload, (UploadResult{false, QStringLiteral("ALERT.AVI"), QStringLiteral("login **** refused")}));
    EXPECT_FALSE(record.interrupted);
    const QByteArray file = readFileBytes(log());
    EXPECT_FALSE(file.contains("s3cret-pw") || file.contains("bark twice"));
}

// A background upload may end during the next alarm, or after it.
TEST_F(AlarmHistoryTest, UploadsToldLaterJoinTheirOwnAlarm)
{
    AlarmHistory history(log());
    const QString first = inApp(QStringLiteral("avi/first.AVI")), second = inApp(QStringLiteral("avi/second.AVI"));
    alarm(150);
    tell(Kind::ClipRecorded, true, first);
    tell(Kind::AlarmOver);
    alarm(160);
    tell(Kind::ClipRecorded, false, second, QStringLiteral("camera lost"));
    tell(Kind::Uploaded, true, QStringLiteral("first.AVI"), {}, first);
    tell(Kind::AlarmOver);
    tell(Kind::Uploaded, false, QStringLiteral("second.AVI"), QStringLiteral("no file"), second);
    tell(Kind::FileRemoved, true, inApp(QStringLiteral("img/old_ALERT.jpg")));

    const HistoryContents contents = readHistory(log());
    ASSERT_EQ(contents.alarms.size(), 2u);
    EXPECT_EQ(contents.alarms[0].upload, (UploadResult{true, QStringLiteral("first.AVI"), QString()}));
    EXPECT_EQ(contents.alarms[1].upload, (UploadResult{false, QStringLiteral("second.AVI"), QStringLiteral("no file")}));
    EXPECT_FALSE(contents.alarms[1].clipRecorded);
    EXPECT_EQ(contents.alarms[1].clipFailure, QStringLiteral("camera lost"));
    EXPECT_EQ(contents.removedFiles, QSet<QString>{QStringLiteral("img/old_ALERT.jpg")});
    EXPECT_EQ(contents.damagedLines, 0);
}

TEST_F(AlarmHistoryTest, AnAlarmCutShortIsStillRecorded)
{
    {
        AlarmHistory history(log());
        alarm(101);
        tell(Kind::Stopped);
        alarm(102);
        tell(Kind::Snapshot, true, inApp(QStringLiteral("img/a.jpg")));
    }  // the program closes during the second alarm
    const HistoryContents contents = readHistory(log());
    ASSERT_EQ(contents.alarms.size(), 2u);
    EXPECT_TRUE(contents.alarms[0].interrupted);
    EXPECT_TRUE(contents.alarms[1].interrupted);
    EXPECT_EQ(contents.alarms[1].snapshots, QStringList{QStringLiteral("img/a.jpg")});
}

// A line that cannot be written waits, and goes first once there is room.
TEST_F(AlarmHistoryTest, LinesWaitUntilTheyCanBeWritten)
{
    const QString folder = home.filePath(QStringLiteral("later"));
    AlarmHistory history(folder + QStringLiteral("/history.log"));
    alarm(300);
    tell(Kind::AlarmOver);
    EXPECT_EQ(history.pendingLines(), 1);
    ASSERT_TRUE(QDir().mkpath(folder));
    tell(Kind::FileRemoved, true, inApp(QStringLiteral("img/x.jpg")));
    EXPECT_EQ(history.pendingLines(), 0);
    const QList<QByteArray> lines = readFileBytes(folder + QStringLiteral("/history.log")).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("\"alarm\""));
    EXPECT_TRUE(lines[1].contains("\"removed\""));
}

}  // namespace
