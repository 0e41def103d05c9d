#include "history/HistoryLog.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempAppFolder.h"

#include <QFile>
#include <QJsonDocument>

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

QByteArray lineOf(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The bytes of a literal that may hold NUL.
template <size_t N>
QByteArray bytesOf(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

class HistoryLogTest : public ::testing::Test {
protected:
    QString log() const { return home.filePath(QStringLiteral("history.log")); }
    void appendRaw(const QByteArray& bytes) const
    {
        QFile file(log());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(bytes);
    }

    TempAppFolder home;
    const QDateTime first = QDateTime(QDate(2024, 5, 1), QTime(12, 3, 9, 120));
    const QDateTime second = first.addSecs(95);
};

TEST_F(HistoryLogTest, RecordsComeBackAsWrittenInAFileOfTheUserAlone)
{
    const AlarmRecord a = sampleAlarm(first, QStringLiteral("avi/240501120312_ALERT.AVI"));
    AlarmRecord b;
    b.time = second;
    b.count = 7;
    b.interrupted = true;
    ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(a)));
    ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(b)));

    const HistoryContents contents = readHistory(log());
    ASSERT_EQ(contents.alarms.size(), 2u);
    EXPECT_EQ(contents.alarms[0], a);
    EXPECT_EQ(contents.alarms[1], b);
    EXPECT_EQ(contents.damagedLines, 0);
    EXPECT_EQ(readFileBytes(log()).count('\n'), 2);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(log()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

// A crash in the middle of a line, or a file that is not ours, costs only the
// damaged lines; what is appended afterwards reads whole.
TEST_F(HistoryLogTest, DamagedLinesAreSkippedAndLaterLinesStayWhole)
{
    const QByteArray whole = lineOf(alarmToJson(sampleAlarm(first, {})));
    const struct {
        const char* name;
        QByteArray before;
        int damaged;
        size_t alarms;
    } rows[] = {
        {"torn last line", whole + "\n" + whole.left(whole.size() / 2), 1, 1},
        {"garbage", bytesOf("\x00\xff\xfe{\"type\":\"alarm\",\x01\n\n]]][\n") + QByteArray(3000, '\xc3'), 3, 0},
        {"an object of another kind", "{\"type\":\"weather\"}\n[1,2]\n{\"type\":\"alarm\"}\n", 3, 0},
    };
    for (const auto& row : rows) {
        QFile::remove(log());
        appendRaw(row.before);
        const HistoryContents damaged = readHistory(log());
        EXPECT_EQ(damaged.alarms.size(), row.alarms) << row.name;
        EXPECT_EQ(damaged.damagedLines, row.damaged) << row.name;

        ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(sampleAlarm(second, {})))) << row.name;
        const HistoryContents after = readHistory(log());
        ASSERT_EQ(after.alarms.size(), row.alarms + 1) << row.name;
        EXPECT_EQ(after.alarms.back().time, second) << row.name;
        EXPECT_EQ(after.damagedLines, row.damaged) << row.name;
        ASSERT_TRUE(readLatestAlarm(log()).has_value()) << row.name;
        EXPECT_EQ(readLatestAlarm(log())->time, second) << row.name;
    }
    EXPECT_TRUE(readHistory(home.filePath(QStringLiteral("none.log"))).alarms.empty());
    EXPECT_FALSE(readLatestAlarm(home.filePath(QStringLiteral("none.log"))).has_value());
}

// An upload told after its alarm's record finds that record by the alarm's
// time, else by its clip; one whose record is gone is counted as damaged.
TEST_F(HistoryLogTest, LateUploadsJoinTheirAlarm)
{
    AlarmRecord a = sampleAlarm(first, QStringLiteral("avi/a.AVI"));
    AlarmRecord b = sampleAlarm(second, QStringLiteral("avi/b.AVI"));
    a.upload.reset();
    b.upload.reset();
    ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(a)));
    ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(b)));
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
    ASSERT_TRUE(appendHistoryLine(log(), upload(QString(), QStringLiteral("avi/lost.AVI"), true)));
    ASSERT_TRUE(appendHistoryLine(log(), {{QStringLiteral("type"), QStringLiteral("removed")},
                                          {QStringLiteral("file"), QStringLiteral("img/x.jpg")}}));

    const HistoryContents contents = readHistory(log());
    ASSERT_EQ(contents.alarms.size(), 2u);
    EXPECT_EQ(contents.alarms[0].upload, (UploadResult{true, QStringLiteral("ALERT.AVI"), QString()}));
    EXPECT_EQ(contents.alarms[1].upload, (UploadResult{false, QStringLiteral("ALERT.AVI"), QStringLiteral("refused")}));
    EXPECT_EQ(contents.damagedLines, 1);
    EXPECT_EQ(contents.removedFiles, QSet<QString>{QStringLiteral("img/x.jpg")});
    EXPECT_EQ(readLatestAlarm(log())->time, second);
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

}  // namespace
