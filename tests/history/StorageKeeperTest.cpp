#include "history/AlarmRecord.h"
#include "history/HistoryLog.h"
#include "history/StorageKeeper.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using Kind = WatchEvent::Kind;
constexpr int64_t kMb = 1024 * 1024;

QStringList pathsOf(const std::vector<StoredFile>& files)
{
    QStringList paths;
    for (const StoredFile& file : files)
        paths.append(file.path);
    return paths;
}

TEST(StorageLimits, TheOldestGoFirstUntilTheLimitsHold)
{
    const QDateTime now(QDate(2024, 5, 20), QTime(12, 0));
    // 1.3 MB in all, from ten days to an hour old, listed out of order; two of one time go by name.
    const std::vector<StoredFile> files = {{QStringLiteral("c"), 300'000, now.addDays(-2)},
                                           {QStringLiteral("b_2"), 100'000, now.addDays(-5)},
                                           {QStringLiteral("a"), 400'000, now.addDays(-10)},
                                           {QStringLiteral("d"), 200'000, now.addSecs(-3600)},
                                           {QStringLiteral("b"), 300'000, now.addDays(-5)}};
    const struct {
        const char* name;
        StorageLimits limits;
        QSet<QString> kept;
        QDateTime keptSince;
        QStringList removed;
    } rows[] = {
        {"no limits", {}, {}, {}, {}},
        {"within both", {2 * kMb, 20}, {}, {}, {}},
        {"bytes", {1'000'000, 0}, {}, {}, {QStringLiteral("a")}},
        {"bytes exactly reached", {500'000, 0}, {}, {}, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("b_2")}},
        {"days, one exactly that old stays", {0, 5}, {}, {}, {QStringLiteral("a")}},
        {"days, one a day older goes", {0, 9}, {}, {}, {QStringLiteral("a")}},
        {"days, then bytes", {250'000, 3}, {}, {}, {"a", "b", "b_2", "c"}},
        {"a kept file stays", {1'000'000, 0}, {QStringLiteral("a")}, {}, {QStringLiteral("b")}},
        {"the latest alarm's files stay though the bound fails", {1, 0}, {}, now.addDays(-5), {QStringLiteral("a")}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pathsOf(filesBeyondLimits(files, row.limits, row.kept, row.keptSince, now)), row.removed)
            << row.name;
}

class StorageKeeperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings = SettingsRecord{};
        appFolder();  // makes img/ and avi/
    }
    // What a keeper tells: the files it removed.
    WatchTeller teller()
    {
        return [this](const WatchEvent& event) {
            if (event.kind == Kind::FileRemoved)
                removedTold.append(event.name);
        };
    }

    // A file of `size` bytes in the application folder, last written `age` seconds ago.
    QString file(const QString& name, qint64 size, qint64 age) const
    {
        const QString path = home.filePath(name);
        writeFileBytes(path, QByteArray(size, 'j'));
        QFile handle(path);
        EXPECT_TRUE(handle.open(QIODevice::ReadWrite));
        EXPECT_TRUE(handle.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime));
        return QFileInfo(path).absoluteFilePath();
    }
    QStringList left() const
    {
        QStringList names;
        for (const StoredFile& stored : storedFiles(home.path()))
            names.append(QDir(home.path()).relativeFilePath(stored.path));
        names.sort();
        return names;
    }

    TempAppFolder home;
    QStringList removedTold;
};

// At start-up the program's own files older than the limit go, but never those
// of the latest alarm, the history's newest record, nor a clip still waiting
// for its upload.
TEST_F(StorageKeeperTest, AtStartOnlyTheProgramsOwnFilesGoAndTheNewestRecordsAndClipsInUseStay)
{
    for (const QString& name :
         {QStringLiteral("img/240501120309_ALERT.jpg"), QStringLiteral("img/240501120309_TEST.jpg"),
          QStringLiteral("img/240501120309_ALERT_2.jpg"), QStringLiteral("avi/240501120312_ALERT_2.AVI"),
          QStringLiteral("avi/ALERT_2.AVI"),
          QStringLiteral("avi/240501120312_ALERT.AVI"), QStringLiteral("avi/ALERT.AVI"), QStringLiteral("img/holiday.jpg"),
          QStringLiteral("img/240501120309_ALERT.jpg.bak"), QStringLiteral("avi/240501120312_alert.avi"),
          QStringLiteral("avi/240501120312_ALERT.jpg"), QStringLiteral("img/240501120309_ALERT_.jpg"),
          QStringLiteral("img/2405011203_ALERT.jpg"), QStringLiteral("img/240501120309_ALERT-2.jpg"),
          QStringLiteral("img/240501120309-ALERT.jpg"), QStringLiteral("img/2405011203xx_ALERT.jpg"),
          QStringLiteral("houndly.ini")})
        file(name, 1000, 30 * 86400);
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("img/240501120000_ALERT.jpg")));
    ASSERT_TRUE(QFile::link(home.filePath(QStringLiteral("houndly.ini")),
                            home.filePath(QStringLiteral("img/240501120001_ALERT.jpg"))));
    EXPECT_EQ(left(), (QStringList{"avi/240501120312_ALERT.AVI", "avi/240501120312_ALERT_2.AVI", "avi/ALERT.AVI",
                                   "img/240501120309_ALERT.jpg", "img/240501120309_ALERT_2.jpg",
                                   "img/240501120309_TEST.jpg"}));
    const QString history = home.filePath(QStringLiteral("history.log"));
    AlarmRecord latest;
    // A minute after the files above: files written from the alarm on stay anyway.
    latest.time = QDateTime::currentDateTime().addDays(-30).addSecs(60);
    latest.snapshots = {QStringLiteral("img/240501120309_ALERT.jpg")};
    latest.clip = QStringLiteral("avi/240501120312_ALERT.AVI");
    latest.clipRecorded = true;
    ASSERT_TRUE(appendHistoryLine(history, alarmToJson(latest)));
    const QString waitingClip = QStringLiteral("avi/240428000000_ALERT.AVI");
    const QString waitingPath = file(waitingClip, 1000, 30 * 86400);
    const QString afterAlarm = QStringLiteral("img/240501120500_TEST.jpg");
    file(afterAlarm, 1000, 30 * 86400 - 120);
    // The youngest file due goes last: taken away meanwhile, it is not told as removed.
    const QString takenAway = file(QStringLiteral("img/240501120308_TEST.jpg"), 1000, 30 * 86400 - 30);

    Settings.EXT.KEEPDAYS = 7;
    const WatchTeller tell = teller();
    StorageKeeper keeper(home.path(), [&](const WatchEvent& event) {
        tell(event);
        QFile::remove(takenAway);
    }, [&] { return QSet<QString>{waitingPath}; });
    keeper.keepAfterStart(history);
    EXPECT_EQ(left(), (QStringList{waitingClip, latest.clip, latest.snapshots[0], afterAlarm}));
    EXPECT_EQ(removedTold.size(), 4) << removedTold.join(u' ').toStdString();
    for (const QString& name : {QStringLiteral("img/holiday.jpg"), QStringLiteral("houndly.ini"),
                                QStringLiteral("img/240501120309_ALERT.jpg.bak"), QStringLiteral("avi/ALERT_2.AVI")})
        EXPECT_TRUE(QFile::exists(home.filePath(name))) << name.toStdString();
}

// After an alarm the oldest files go until the cap (in MiB) holds, never the
// alarm's own, even when their times fall before it (coarse file times), nor
// what was written since it. Off, nothing goes.
TEST_F(StorageKeeperTest, AfterAnAlarmTheCapHoldsAndTheAlarmsFilesStay)
{
    const QString old = file(QStringLiteral("img/240401000000_ALERT.jpg"), 900'000, 40 * 86400);
    const QString recent = file(QStringLiteral("img/240519000000_TEST.jpg"), kMb - 700'000, 3600);
    StorageKeeper keeper(home.path(), teller());
    keeper.hear({.kind = Kind::Alarm, .count = 200, .alarmCount = 100});
    keeper.hear({.kind = Kind::ClipRecorded, .ok = false, .name = old});  // a failed clip keeps no file
    for (const QString& name : {QStringLiteral("img/240520000000_ALERT.jpg"), QStringLiteral("avi/240520000000_ALERT.AVI")})
        keeper.hear({.kind = name.startsWith("img") ? Kind::Snapshot : Kind::ClipRecorded, .name = file(name, 350'000, 60)});
    keeper.hear({.kind = Kind::AlarmOver});
    EXPECT_TRUE(removedTold.isEmpty());

    Settings.EXT.KEEPMB = 1;
    keeper.hear({.kind = Kind::AlarmOver});
    EXPECT_EQ(removedTold, QStringList{old}) << "exactly 1 MiB is left";
    file(QStringLiteral("img/240520000001_TEST.jpg"), kMb - 700'000 + 1, 0);  // written since the alarm
    keeper.hear({.kind = Kind::AlarmOver});
    EXPECT_EQ(removedTold, (QStringList{old, recent}));
    EXPECT_EQ(left(), (QStringList{"avi/240520000000_ALERT.AVI", "img/240520000000_ALERT.jpg",
                                   "img/240520000001_TEST.jpg"}));
    // The next alarm's end: the last one's files are old files now.
    keeper.hear({.kind = Kind::Alarm});
    keeper.hear({.kind = Kind::AlarmOver});
    EXPECT_TRUE(removedTold.size() == 3 && removedTold.last().contains(QStringLiteral("240520000000_ALERT")));
}

}  // namespace
