// The history, the storage keeper and the disk-full road in the real main
// window on the demo camera, with real SMTP and FTP servers on loopback.
#include "tests/app/LoopbackAlarmFixture.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/QtPrinters.h"

#include "history/HistoryLog.h"
#include "history/HistoryModel.h"
#include "history/StorageKeeper.h"
#include "history/frmHistory.h"
#include "settings/AppPaths.h"
#include "settings/DiskSpace.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTreeView>
#include <QUrl>

namespace {

// Room for the logs' few lines on the full disk, not for a snapshot or a clip.
constexpr int64_t kLeftRoom = 48 * 1024;

}  // namespace

class HistoryRoadTest : public LoopbackAlarmFixture {
protected:
    void SetUp() override
    {
        LoopbackAlarmFixture::SetUp();
        Settings.TRG = {destination(QStringLiteral("owner@example.net"), 1, 1), MailTrigger{},
                        destination(QStringLiteral("neighbour@example.net"), 0, 0), MailTrigger{}};
        Settings.FTP.MOVE = Settings.FTP.FTP = Settings.FTP.FILENAME = QStringLiteral("True");
    }
    // Saves the settings into the application folder and starts the window on them.
    void start()
    {
        ASSERT_TRUE(sSaveSettings());
        startWindow();
        window->setUrlOpener([this](const QUrl& url) {
            opened.append(url.toLocalFile());
            return true;
        });
    }
    // The intruder's crossing in loop `loop` of the scene raises an alarm; the tick after it is calm.
    void alarmInLoop(int loop)
    {
        tickAt(loop * kSceneLoop + kIntruder);
        ASSERT_TRUE(window->StatusBarPanel(1)->text().startsWith(QStringLiteral("Houndly: 警報！ 誰かいたワン！!")));
        tickAt((loop + 1) * kSceneLoop + kCalm);
    }
    QString appFile(const QString& name) const { return QDir(appFolder()).filePath(name); }
    QList<QJsonObject> mails() const { return readRecords(records(), QStringLiteral("message")); }

    QStringList opened;
};

// One record per alarm with what it wrote and what became of its mails and
// upload; the history window lists it and opens its files. With a cap, files
// beyond it go after each alarm, the latest alarm's stay, and every deletion is
// in the history.
TEST_F(HistoryRoadTest, AnAlarmIsRecordedShownInTheHistoryWindowAndTheCapHolds)
{
    QStringList old;
    appFolder();  // makes img/
    for (int day = 1; day <= 3; ++day) {
        old.append(writeFileBytes(home.filePath(QStringLiteral("img/24040%1_ALERT.jpg").arg(day * 1000000)),
                                  QByteArray(600'000, 'o')));
        QFile file(old.last());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-40 + day), QFileDevice::FileModificationTime));
    }
    Settings.EXT.KEEPMB = 1;
    start();
    tickAt(kCalm);
    alarmInLoop(0);

    const HistoryContents history = readHistory(appFile(QStringLiteral("history.log")));
    ASSERT_EQ(history.alarms.size(), 1u);
    const AlarmRecord& alarm = history.alarms[0];
    EXPECT_GT(alarm.count, 10);
    EXPECT_EQ(alarm.alarmCount, 10);
    ASSERT_EQ(alarm.snapshots.size(), 1);
    EXPECT_TRUE(QFileInfo(appFile(alarm.snapshots[0])).size() > 0) << alarm.snapshots[0].toStdString();
    EXPECT_EQ(alarm.mails, (QList<MailResult>{{QStringLiteral("A"), true, QStringLiteral("owner@example.net")},
                                              {QStringLiteral("C"), true, QStringLiteral("neighbour@example.net")}}));
    EXPECT_TRUE(alarm.clipRecorded);
    EXPECT_TRUE(QFileInfo(appFile(alarm.clip)).size() > 0) << alarm.clip.toStdString();
    EXPECT_EQ(alarm.upload, (UploadResult{true, QStringLiteral("ALERT.AVI"), QString()}));
    EXPECT_EQ(ftp.fileContent(QStringLiteral("ALERT.AVI")), readFileBytes(appFile(alarm.clip)));

    window->menu.mnu_history->trigger();
    auto* dialog = window->findChild<frmHistory*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(window->camera->Timer1->isActive()) << "watching goes on";
    ASSERT_EQ(dialog->lstHistory->model()->rowCount(), 1);
    dialog->lstHistory->setCurrentIndex(dialog->lstHistory->model()->index(0, 0));
    dialog->cmdClip->click();
    dialog->cmdSnapshot->click();
    EXPECT_EQ(opened, (QStringList{appFile(alarm.clip), appFile(alarm.snapshots[0])}));

    // The next alarm joins the open window.
    alarmInLoop(1);
    const HistoryContents after = readHistory(appFile(QStringLiteral("history.log")));
    ASSERT_EQ(after.alarms.size(), 2u);
    QApplication::processEvents();
    EXPECT_EQ(dialog->lstHistory->model()->rowCount(), 2);

    // Over the cap with its clip and the clip's copy alone, the latest alarm keeps
    // its files and every other goes, told to the history.
    const QDir folder(appFolder());
    QSet<QString> left;
    for (const StoredFile& stored : storedFiles(appFolder()))
        left.insert(folder.relativeFilePath(stored.path));
    const AlarmRecord& latest = after.alarms.back();
    EXPECT_EQ(left, QSet<QString>({latest.snapshots.value(0), latest.clip, QStringLiteral("avi/ALERT.AVI")}));
    for (const QString& file : old + QStringList{appFile(alarm.snapshots[0]), appFile(alarm.clip)})
        EXPECT_TRUE(!QFile::exists(file) && after.removedFiles.contains(folder.relativeFilePath(file))) << file.toStdString();
}

// On a full disk the alarm still sounds, shows, mails without a picture and
// says what it could not save; nothing half-written stays behind.
TEST_F(HistoryRoadTest, AFullDiskStillRaisesTheAlarmAndLeavesNoPartialFiles)
{
    SmallDisk disk(8 * 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    qputenv("HOUNDLY_HOME", disk.path().toUtf8());
    Settings.COM.SOUND = QStringLiteral("bark.wav");
    qputenv("WINDIR", qgetenv("HOUNDLY_SOURCE_DIR"));  // its media/ holds the shipped sounds
    Settings.TRG[0] = destination(QStringLiteral("owner@example.net"), 1, 0, 0);  // 640 x 480, finest
    start();
    tickAt(kCalm);
    disk.fill(kLeftRoom);
    PaintedTexts panel1(window->StatusBarPanel(1));
    tickAt(kIntruder);
    const QString over = window->StatusBarPanel(1)->text();
    const QString sound = GetSoundMode(Settings.COM.SoundPath);
    qunsetenv("WINDIR");

    EXPECT_GE(panel1.timeOf(kAlarmText), 0);
    EXPECT_TRUE(window->StatusBarPanel(2)->text().startsWith(QStringLiteral("最終警報: ")));
    EXPECT_TRUE(window->picSideScope->signal[2]->isLit());
    EXPECT_EQ(sound, QStringLiteral("PLAYING"));
    EXPECT_EQ(over, QStringLiteral("Houndly: 警報！ 誰かいたワン！! ﾃﾞｨｽｸがいっぱいで画像と動画を保存できませんでした。"));
    const QList<QJsonObject> sent = mails();
    ASSERT_EQ(sent.size(), 2);
    for (const QJsonObject& mail : sent)
        EXPECT_TRUE(mail[QStringLiteral("attachments")].toArray().isEmpty());
    EXPECT_EQ(QDir(disk.path() + QStringLiteral("/img")).entryList(QDir::Files | QDir::Hidden), QStringList{});
    EXPECT_EQ(QDir(disk.path() + QStringLiteral("/avi")).entryList(QDir::Files | QDir::Hidden), QStringList{});

    const HistoryContents history = readHistory(disk.path() + QStringLiteral("/history.log"));
    ASSERT_EQ(history.alarms.size(), 1u);
    EXPECT_EQ(history.alarms[0].snapshotFailures, QStringList{diskFullText()});
    EXPECT_FALSE(history.alarms[0].clipRecorded);
    EXPECT_EQ(history.alarms[0].clipFailure, diskFullText());
    EXPECT_EQ(history.alarms[0].mails.size(), 2);
    ASSERT_TRUE(history.alarms[0].upload.has_value());
    EXPECT_FALSE(history.alarms[0].upload->ok);

    // The next tick is calm as always.
    tickAt(kIntruder + 500);
    EXPECT_EQ(window->StatusBarPanel(1)->text(), QStringLiteral("Houndly: 大丈夫ワン！"));
    window.reset();
}
