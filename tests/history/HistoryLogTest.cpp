// The alarm history: its file, and the record each alarm's events make.
#include "history/AlarmHistory.h"
#include "history/HistoryLog.h"
#include "settings/DiskSpace.h"
#include "settings/Settings.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

AlarmRecord sampleAlarm(const QDateTime& time, const QString& clip)
{
    AlarmRecord record;
    record.time = time;
    record.count = 412;
    record.alarmCount = 100;
    record.snapshots = {QStringLiteral("img/240501120309_ALERT.jpg")};
    record.snapshotFailures = {QStringLiteral("ﾃﾞｨｽｸがいっぱいです。")};
    record.mails = {{QStringLiteral("A"), true, QStringLiteral("owner@example.net")},
                    {QStringLiteral("C"), false, QStringLiteral("ﾒｰﾙ送信ｴﾗｰでした。")}};
    record.clip = clip;
    record.clipRecorded = true;
    record.upload = UploadResult{true, QStringLiteral("ALERT.AVI"), QString()};
    return record;
}

class HistoryLogTest : public ::testing::Test {
protected:
    QString log() const { return home.filePath(QStringLiteral("history.log")); }

    TempAppFolder home;
    const QDateTime first = QDateTime(QDate(2024, 5, 1), QTime(12, 3, 9, 120));
    const QDateTime second = first.addSecs(95);
};

// A crash in the middle of a line, or a file that is not ours, costs only the
// damaged lines; what is appended afterwards reads whole.
TEST_F(HistoryLogTest, DamagedLinesAreSkippedAndLaterLinesStayWhole)
{
    const QByteArray whole = QJsonDocument(alarmToJson(sampleAlarm(first, {}))).toJson(QJsonDocument::Compact);
    const struct {
        const char* name;
        QByteArray before;
        int damaged;
        size_t alarms;
    } rows[] = {
        {"torn last line", whole + "\n" + whole.left(whole.size() / 2), 1, 1},
        {"garbage", QByteArrayLiteral("\x00\xff\xfe{\"type\":\"alarm\",\x01\n\n]]][\n") + QByteArray(3000, '\xc3'), 3, 0},
        {"an object of another kind", "{\"type\":\"weather\"}\n[1,2]\n{\"type\":\"alarm\"}\n", 3, 0},
    };
    for (const auto& row : rows) {
        writeFileBytes(log(), row.before);
        const HistoryContents damaged = readHistory(log());
        EXPECT_EQ(damaged.alarms.size(), row.alarms) << row.name;
        EXPECT_EQ(damaged.damagedLines, row.damaged) << row.name;

        ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(sampleAlarm(second, {})))) << row.name;
        const HistoryContents after = readHistory(log());
        ASSERT_EQ(after.alarms.size(), row.alarms + 1) << row.name;
        EXPECT_EQ(after.alarms.back().time, second) << row.name;
        EXPECT_EQ(readLatestAlarm(log()).value_or(AlarmRecord{}).time, second) << row.name;
    }
    // The storage keeper may tell many removals after the newest alarm: 900 KB of them.
    writeFileBytes(log(), readFileBytes(log()) + QByteArray("{\"type\":\"removed\",\"file\":\"img/x.jpg\"}\n").repeated(24000));
    EXPECT_EQ(readLatestAlarm(log()).value_or(AlarmRecord{}).time, second);
    // Only the newest 64 MB are read, from the first whole line in them: the oldest
    // alarm lies 65 MB before the end, the next one 63 MB.
    constexpr qint64 kMb = 1024 * 1024;
    writeFileBytes(log(), whole + "\n");
    for (const qint64 hole : {2 * kMb, 63 * kMb}) {
        ASSERT_TRUE(QFile::resize(log(), QFileInfo(log()).size() + hole));  // NUL bytes, a line that is no record
        ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(sampleAlarm(second.addSecs(hole), {}))));
    }
    const HistoryContents grown = readHistory(log());
    EXPECT_EQ(grown.alarms.size(), 2u);
    EXPECT_EQ(grown.damagedLines, 1);
    EXPECT_TRUE(readHistory(home.filePath(QStringLiteral("none.log"))).alarms.empty());
    EXPECT_FALSE(readLatestAlarm(home.filePath(QStringLiteral("none.log"))).has_value());
}

// Records come back as written, in a file of the user alone. An upload told
// after its alarm's record finds that record by the alarm's time, else by its
// clip; one whose record is gone is counted as damaged.
TEST_F(HistoryLogTest, RecordsComeBackAsWrittenAndLateUploadsJoinTheirAlarm)
{
    AlarmRecord a = sampleAlarm(first, QStringLiteral("avi/a.AVI"));
    AlarmRecord b;
    b.time = second;
    b.count = 7;
    b.interrupted = true;
    a.upload.reset();
    writeFileBytes(log(), {});  // made by another, readable by all
    ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(a)));
    ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(b)));
    b.clip = QStringLiteral("avi/b.AVI");  // known from its result line alone
    ASSERT_TRUE(appendHistoryLine(log(), resultLine(second, {{QStringLiteral("clip"), b.clip}})));
    const auto upload = [](const QString& alarm, const QString& clip, bool ok) {
        QJsonObject line = uploadToJson({ok, QStringLiteral("ALERT.AVI"), ok ? QString() : QStringLiteral("refused")});
        line.insert(QStringLiteral("type"), QStringLiteral("upload"));
        line.insert(QStringLiteral("clip"), clip);
        if (!alarm.isEmpty())
            line.insert(QStringLiteral("alarm"), alarm);
        return line;
    };
    ASSERT_TRUE(appendHistoryLine(log(), upload(historyTimeText(second), QStringLiteral("avi/other.AVI"), false)));
    ASSERT_TRUE(appendHistoryLine(log(), upload(QString(), QStringLiteral("avi/a.AVI"), true)));
    ASSERT_TRUE(appendHistoryLine(log(), upload(QString(), b.clip, false)));
    ASSERT_TRUE(appendHistoryLine(log(), upload(QString(), QStringLiteral("avi/lost.AVI"), true)));
    // Only an upload finds its alarm by the clip alone.
    ASSERT_TRUE(appendHistoryLine(log(), {{QStringLiteral("type"), QStringLiteral("result")}, {QStringLiteral("clip"), a.clip}}));
    ASSERT_TRUE(appendHistoryLine(log(), {{QStringLiteral("type"), QStringLiteral("removed")},
                                          {QStringLiteral("file"), QStringLiteral("img/x.jpg")}}));
    ASSERT_TRUE(appendHistoryLine(log(), {{QStringLiteral("type"), QStringLiteral("mask")}}));

    a.upload = UploadResult{true, QStringLiteral("ALERT.AVI"), QString()};
    b.upload = UploadResult{false, QStringLiteral("ALERT.AVI"), QStringLiteral("refused")};
    const HistoryContents contents = readHistory(log());
    EXPECT_EQ(contents.alarms, (std::vector<AlarmRecord>{a, b}));
    EXPECT_EQ(contents.damagedLines, 2);
    EXPECT_EQ(contents.removedFiles, QSet<QString>{QStringLiteral("img/x.jpg")});
    EXPECT_EQ(readFileBytes(log()).count('\n'), 10);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(log()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

// On a full disk a line goes in whole or not at all: the file keeps its old content.
TEST_F(HistoryLogTest, AFullDiskTakesNoPartOfALine)
{
    SmallDisk disk(256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    const QString path = disk.path() + QStringLiteral("/history.log");
    ASSERT_TRUE(appendHistoryLine(path, alarmToJson(sampleAlarm(first, {}))));
    const QByteArray before = readFileBytes(path);
    AlarmRecord large = sampleAlarm(second, {});
    large.snapshotFailures = {QString(64 * 1024, u'x')};
    disk.fill(8 * 1024);
    EXPECT_FALSE(appendHistoryLine(path, alarmToJson(large)));
    EXPECT_EQ(readFileBytes(path), before);
    disk.empty();
    EXPECT_TRUE(appendHistoryLine(path, alarmToJson(large)));
    EXPECT_EQ(readHistory(path).alarms.size(), 2u);
}

using Kind = WatchEvent::Kind;

// Alarms told as watch events, with short stored passwords that are also parts
// of the addresses and reasons told: the records keep what was told.
class AlarmHistoryTest : public HistoryLogTest {
protected:
    void SetUp() override
    {
        Settings = SettingsRecord{};
        Settings.MAIL.SMTPPASS = QStringLiteral("p");
        Settings.FTP.PASS = QStringLiteral("home");
    }
    QString inApp(const QString& name) const { return home.filePath(name); }
    void tell(Kind kind, bool ok = true, const QString& name = {}, const QString& detail = {},
              const QString& clip = {}) const
    {
        listening->hear({.kind = kind, .ok = ok, .name = name, .detail = detail, .clip = clip});
    }
    // Alarms are told apart by their time, as a tick at least lies between two.
    void alarm(int32_t count)
    {
        while (QDateTime::currentDateTime() <= lastAlarm)
            QThread::usleep(200);
        lastAlarm = QDateTime::currentDateTime();
        listening->hear({.kind = Kind::Alarm, .count = count, .alarmCount = 100, .alarmTime = lastAlarm});
    }
    void commandEnded(const CommandResult& command, const QDateTime& alarm) const
    {
        listening->hear({.kind = Kind::CommandEnded, .ok = command.ok, .name = command.setting,
                         .detail = command.detail, .alarmTime = alarm});
    }

    AlarmHistory* listening = nullptr;
    QDateTime lastAlarm;
};

// An alarm's events make one record, as they were told, written as they come:
// the file holds all the alarm did so far, as interrupted until its end is
// told. Lines that cannot be written (the folder is missing) wait, and go
// first, in order, once there is room. A background upload may end during the
// next alarm, or after it, and so may an alarm command; an alarm cut short by a stop or by the program
// closing stays interrupted.
TEST_F(AlarmHistoryTest, EachAlarmIsWrittenAsItHappensAsToldAndLateUploadsJoinIt)
{
    const QString folder = home.filePath(QStringLiteral("later"));
    const QString later = folder + QStringLiteral("/history.log");
    const QDateTime before = QDateTime::currentDateTime();
    const CommandResult startCommand{QStringLiteral("ONALARM"), true, QStringLiteral("exit 0")};
    const CommandResult endCommand{QStringLiteral("ONALARMOVER"), false, QStringLiteral("ended after 60 s")};
    {
        AlarmHistory history(later);
        listening = &history;
        tell(Kind::Snapshot, true, inApp(QStringLiteral("img/240501120000_TEST.jpg")));  // no alarm: not recorded
        alarm(412);
        tell(Kind::Snapshot, true, inApp(QStringLiteral("img/240501120309_ALERT.jpg")));
        tell(Kind::MailSent, true, QStringLiteral("A"), QStringLiteral("owner@example.net"));
        tell(Kind::Snapshot, false, inApp(QStringLiteral("img/240501120310_ALERT.jpg")), diskFullText());
        tell(Kind::MailSent, false, QStringLiteral("C"), QStringLiteral("ﾒｰﾙ送信ｴﾗｰでした。 home@example.net"));
        tell(Kind::ClipRecorded, true, inApp(QStringLiteral("avi/240501120312_ALERT.AVI")));
        tell(Kind::Uploaded, false, QStringLiteral("ALERT.AVI"), QStringLiteral("FTPで送信できませんでした。 home3/up"),
             inApp(QStringLiteral("avi/240501120312_ALERT.AVI")));
        EXPECT_EQ(history.pendingLines(), 7);
        ASSERT_TRUE(QDir().mkpath(folder));
        tell(Kind::FileRemoved, true, inApp(QStringLiteral("img/x.jpg")));
        EXPECT_EQ(history.pendingLines(), 0);
        const QList<QByteArray> lines = readFileBytes(later).trimmed().split('\n');
        ASSERT_EQ(lines.size(), 8);
        EXPECT_TRUE(lines.first().contains("\"alarm\"") && lines.last().startsWith("{\"file\":\"img/x.jpg\",\"time\":\"20"));
        const HistoryContents underWay = readHistory(later);
        ASSERT_EQ(underWay.alarms.size(), 1u);
        EXPECT_TRUE(underWay.alarms[0].interrupted);
        EXPECT_EQ(underWay.alarms[0].mails.size(), 2);
        tell(Kind::AlarmOver);

        const QString firstClip = inApp(QStringLiteral("avi/first.AVI")), secondClip = inApp(QStringLiteral("avi/second.AVI"));
        alarm(150);
        const QDateTime firstTime = lastAlarm;
        tell(Kind::ClipRecorded, true, firstClip);
        commandEnded(startCommand, firstTime);
        tell(Kind::AlarmOver);
        alarm(160);
        tell(Kind::ClipRecorded, false, secondClip, QStringLiteral("camera lost"));
        tell(Kind::Uploaded, true, QStringLiteral("first.AVI"), {}, firstClip);
        commandEnded(endCommand, firstTime);
        tell(Kind::AlarmOver);
        tell(Kind::Uploaded, false, QStringLiteral("second.AVI"), QStringLiteral("no file"), secondClip);
        tell(Kind::FileRemoved, true, inApp(QStringLiteral("img/old_ALERT.jpg")));
        alarm(101);
        tell(Kind::Stopped);
        alarm(102);
        tell(Kind::Snapshot, true, QStringLiteral("/mnt/card/a.jpg"));  // outside the folder: kept whole
    }  // the program closes during the last alarm

    const HistoryContents contents = readHistory(later);
    ASSERT_EQ(contents.alarms.size(), 5u);
    const AlarmRecord& record = contents.alarms[0];
    EXPECT_GE(record.time, before);
    EXPECT_LE(record.time, QDateTime::currentDateTime());
    EXPECT_EQ(record.count, 412);
    EXPECT_EQ(record.alarmCount, 100);
    EXPECT_EQ(record.snapshots, QStringList{QStringLiteral("img/240501120309_ALERT.jpg")});
    EXPECT_EQ(record.snapshotFailures, QStringList{diskFullText()});
    EXPECT_EQ(record.mails, (QList<MailResult>{{QStringLiteral("A"), true, QStringLiteral("owner@example.net")},
                                               {QStringLiteral("C"), false, QStringLiteral("ﾒｰﾙ送信ｴﾗｰでした。 home@example.net")}}));
    EXPECT_EQ(record.clip, QStringLiteral("avi/240501120312_ALERT.AVI"));
    EXPECT_TRUE(record.clipRecorded);
    EXPECT_EQ(record.upload, (UploadResult{false, QStringLiteral("ALERT.AVI"), QStringLiteral("FTPで送信できませんでした。 home3/up")}));
    EXPECT_FALSE(record.interrupted);

    EXPECT_EQ(contents.alarms[1].upload, (UploadResult{true, QStringLiteral("first.AVI"), QString()}));
    EXPECT_EQ(contents.alarms[1].commands, (QList<CommandResult>{startCommand, endCommand}));
    EXPECT_EQ(contents.alarms[2].upload, (UploadResult{false, QStringLiteral("second.AVI"), QStringLiteral("no file")}));
    EXPECT_FALSE(contents.alarms[2].clipRecorded);
    EXPECT_EQ(contents.alarms[2].clipFailure, QStringLiteral("camera lost"));
    EXPECT_EQ(contents.removedFiles, (QSet<QString>{QStringLiteral("img/x.jpg"), QStringLiteral("img/old_ALERT.jpg")}));
    EXPECT_EQ(contents.damagedLines, 0);
    EXPECT_FALSE(contents.alarms[2].interrupted);
    EXPECT_TRUE(contents.alarms[3].interrupted && contents.alarms[4].interrupted);
    EXPECT_EQ(contents.alarms[4].snapshots, QStringList{QStringLiteral("/mnt/card/a.jpg")});

    // A disk that stays full keeps the newest ten thousand lines waiting.
    const QString full = home.filePath(QStringLiteral("full/history.log"));
    AlarmHistory waiting(full);
    for (int i = 0; i <= 10000; ++i)
        waiting.hear({.kind = Kind::FileRemoved, .name = QString::number(i)});
    EXPECT_EQ(waiting.pendingLines(), 10000);
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("full"))));
    waiting.hear({.kind = Kind::FileRemoved, .name = QStringLiteral("last")});
    const QSet<QString> written = readHistory(full).removedFiles;
    EXPECT_TRUE(written.size() == 10000 && !written.contains(QStringLiteral("1")) && written.contains(QStringLiteral("last")));
}

}  // namespace
