// The whole road of an alarm in the real main window on the demo camera: the
// intruder crosses, both destinations get their mail from a real SMTP server,
// the clip is recorded and goes up to a real FTP server, the history keeps it
// all, and the next tick is calm again. Then a full disk, and a manual mail of
// the current picture.
#include "tests/app/LoopbackAlarmFixture.h"
#include "tests/support/Footage.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SmallDisk.h"

#include "history/HistoryLog.h"
#include "history/HistoryModel.h"
#include "history/frmHistory.h"
#include "settings/AppPaths.h"

#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTreeView>

namespace {

// Room for the logs' few lines on the full disk, not for a snapshot or a clip.
constexpr int64_t kLeftRoom = 48 * 1024;
const QString kMailing = QStringLiteral("Houndly: ﾒｰﾙ送信中･･･");
const QString kRecording = QStringLiteral("Houndly: 動画録画中･･･");
const QString kUploading = QStringLiteral("Houndly: FTPで送信中･･･");

QImage attachedPicture(const QJsonObject& mail)
{
    const QJsonArray attachments = mail[QStringLiteral("attachments")].toArray();
    return attachments.size() != 1 ? QImage()
                                   : QImage::fromData(QByteArray::fromBase64(
                                                          attachments[0][QStringLiteral("data")].toString().toLatin1()),
                                                      "JPEG");
}

}  // namespace

class AlarmEndToEndTest : public LoopbackAlarmFixture {
protected:
    void SetUp() override
    {
        LoopbackAlarmFixture::SetUp();
        qputenv("WINDIR", qgetenv("HOUNDLY_SOURCE_DIR"));  // its media/ holds the shipped sounds
        Settings.COM.SOUND = QStringLiteral("bark.wav");
        Settings.TRG = {destination(QStringLiteral("owner@example.net")),
                        destination(QStringLiteral("nobody@example.net")),
                        destination(QStringLiteral("neighbour@example.net"), 1, 2), MailTrigger{}};
        Settings.TRG[1].ENABLED = QStringLiteral("False");  // filled in, not in use
        Settings.FTP.MOVE = Settings.FTP.FTP = Settings.FTP.FILENAME = QStringLiteral("True");
        Settings.FTP.AUDIO = QStringLiteral("False");
    }
    void TearDown() override
    {
        LoopbackAlarmFixture::TearDown();
        qunsetenv("WINDIR");
    }

    // Saved and loaded again, as the dialogs would leave them.
    void start()
    {
        ASSERT_TRUE(sSaveSettings());
        startWindow();
    }
    QString appFile(const QString& name) const { return QDir(appFolder()).filePath(name); }
};

TEST_F(AlarmEndToEndTest, IntruderIsMailedRecordedUploadedKeptInTheHistoryAndTheWatcherCalmsDown)
{
    start();
    ASSERT_FALSE(Settings.COM.SoundPath.isEmpty());
    tickAt(kCalm);
    PaintedTexts panel1(window->StatusBarPanel(1));
    tickAt(kIntruder);
    const QString soundAfterAlarm = GetSoundMode(Settings.COM.SoundPath);
    // The window shows what the watcher told: the red lamp and its line, the time of the alarm.
    const ScopePanel& scope = *window->picSideScope;
    EXPECT_TRUE(scope.signal[2]->isLit() && !scope.line_Signal[2]->isHidden() && !scope.signal[0]->isLit());
    EXPECT_TRUE(window->StatusBarPanel(2)->text().startsWith(QStringLiteral("最終警報: ")));
    tickAt(kSceneLoop + kCalm);
    EXPECT_TRUE(scope.signal[0]->isLit() && !scope.line_Signal[0]->isHidden() && scope.line_Signal[2]->isHidden());
    EXPECT_EQ(scope.lblCount->text(), QStringLiteral("000"));

    // The order of the alarm: mail, then the recording, then the upload.
    const qint64 alarmAt = panel1.timeOf(kAlarmText), mailAt = panel1.timeOf(kMailing);
    const qint64 recordAt = panel1.timeOf(kRecording), uploadAt = panel1.timeOf(kUploading);
    ASSERT_TRUE(alarmAt >= 0 && mailAt >= alarmAt && recordAt > mailAt && uploadAt > recordAt)
        << alarmAt << " " << mailAt << " " << recordAt << " " << uploadAt;

    const QList<QJsonObject> mails = readRecords(records(), QStringLiteral("message"));
    const QString log = QString::fromUtf8(readFileBytes(appFile(QStringLiteral("mail.log.txt"))));
    ASSERT_EQ(mails.size(), 2);
    EXPECT_EQ(log.count(QStringLiteral("\n= sent")), 2);
    const QStringList recipients = {QStringLiteral("owner@example.net"), QStringLiteral("neighbour@example.net")};
    const QSize sizes[] = {{320, 240}, {110, 82}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(mails[i][QStringLiteral("rcpt_tos")].toArray().toVariantList(), QVariantList{recipients[i]});
        EXPECT_EQ(attachedPicture(mails[i]).size(), sizes[i]);
        EXPECT_TRUE(log.contains(QStringLiteral("RCPT TO:<%1>").arg(recipients[i]))) << i;
    }

    const QStringList clips = QDir(appFile(QStringLiteral("avi")))
                                  .entryList(QDir::Files)
                                  .filter(QRegularExpression(QStringLiteral("^\\d{12}_ALERT\\.AVI$")));
    ASSERT_EQ(clips.size(), 1);
    const QByteArray clip = readFileBytes(appFile(QStringLiteral("avi/") + clips[0]));
    // The upload is over when the alarm is: the server has the whole clip already, under the fixed name.
    EXPECT_EQ(ftp.fileContent(QStringLiteral("ALERT.AVI")), clip);

    // The tick after the alarm closes the sound.
    EXPECT_EQ(soundAfterAlarm, QStringLiteral("PLAYING"));
    EXPECT_EQ(mciSendString(QStringLiteral("close \"%1\"").arg(Settings.COM.SoundPath)).error,
              SoundError::DeviceNotOpen);
    EXPECT_FALSE(window->watcher().Timer2->isActive());
    EXPECT_EQ(window->watcher().Timer2->interval(), 100) << "the sound repeated every 100 ms";
    EXPECT_TRUE(messages.empty());

    // One record with what the alarm wrote and what became of its mails and upload.
    const HistoryContents history = readHistory(appFile(QStringLiteral("history.log")));
    ASSERT_EQ(history.alarms.size(), 1u);
    const AlarmRecord& alarm = history.alarms[0];
    ASSERT_EQ(alarm.snapshots.size(), 2) << "one for each picture size";
    EXPECT_EQ(alarm.mails, (QList<MailResult>{{QStringLiteral("A"), true, recipients[0]},
                                              {QStringLiteral("C"), true, recipients[1]}}));
    EXPECT_EQ(alarm.clip, QStringLiteral("avi/") + clips[0]);
    EXPECT_EQ(alarm.upload, (UploadResult{true, QStringLiteral("ALERT.AVI"), QString()}));

    // The history window lists it while watching goes on.
    window->menu.mnu_history->trigger();
    auto* dialog = window->findChild<frmHistory*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(window->watcher().Timer1->isActive());
    ASSERT_EQ(dialog->lstHistory->model()->rowCount(), 1);

    // The next alarm joins the open window.
    tickAt(kSceneLoop + kIntruder);
    tickAt(2 * kSceneLoop + kCalm);
    ASSERT_EQ(readHistory(appFile(QStringLiteral("history.log"))).alarms.size(), 2u);
    QApplication::processEvents();
    EXPECT_EQ(dialog->lstHistory->model()->rowCount(), 2);
}

// A server that refuses a recipient and one that refuses the FTP login: the
// history keeps what each server said, and its window shows it.
TEST_F(AlarmEndToEndTest, RefusalsKeepTheServersReasonsAndTheHistoryWindowShowsThem)
{
    ServerProcess refusing(QStringLiteral("smtp_server.py"),
                           {QStringLiteral("--record"), records(), QStringLiteral("--refuse"), QStringLiteral("nobody@example.net")});
    Settings.MAIL.SMTP = QStringLiteral("127.0.0.1\t%1").arg(refusing.port());
    Settings.TRG = {destination(QStringLiteral("owner@example.net"), 0), destination(QStringLiteral("nobody@example.net"), 0),
                    MailTrigger{}, MailTrigger{}};
    Settings.FTP.PASS = QStringLiteral("bark once");
    start();
    tickAt(kCalm);
    tickAt(kIntruder);

    const HistoryContents history = readHistory(appFile(QStringLiteral("history.log")));
    ASSERT_EQ(history.alarms.size(), 1u);
    const AlarmRecord& alarm = history.alarms[0];
    const QString refusal = QStringLiteral("550 5.1.1 <nobody@example.net>: no such mailbox");
    ASSERT_EQ(alarm.mails.size(), 2);
    EXPECT_TRUE(alarm.mails[0].ok);
    EXPECT_TRUE(!alarm.mails[1].ok && alarm.mails[1].detail.contains(refusal)) << alarm.mails[1].detail.toStdString();
    ASSERT_TRUE(alarm.upload && !alarm.upload->ok);
    EXPECT_TRUE(alarm.upload->failure.contains(QStringLiteral("Access denied: 530"))) << alarm.upload->failure.toStdString();

    window->menu.mnu_history->trigger();
    auto* dialog = window->findChild<frmHistory*>();
    ASSERT_NE(dialog, nullptr);
    const QModelIndex row = dialog->lstHistory->model()->index(0, HistoryModel::TimeColumn);
    dialog->lstHistory->setCurrentIndex(row);
    EXPECT_TRUE(row.siblingAtColumn(HistoryModel::MailColumn).data().toString().contains(refusal));
    EXPECT_TRUE(row.siblingAtColumn(HistoryModel::UploadColumn).data().toString().contains(QStringLiteral("530")));
    EXPECT_TRUE(dialog->lblFailures->text().contains(refusal)) << dialog->lblFailures->text().toStdString();
    EXPECT_TRUE(dialog->lblFailures->text().contains(QStringLiteral("Access denied: 530")));
}

// On a full disk the alarm still shows, mails without a picture and says what
// it could not save; nothing half-written stays behind.
TEST_F(AlarmEndToEndTest, AFullDiskStillRaisesTheAlarmAndLeavesNoPartialFiles)
{
    SmallDisk disk(8 * 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    qputenv("HOUNDLY_HOME", disk.path().toUtf8());
    Settings.TRG[0] = destination(QStringLiteral("owner@example.net"), 1, 0, 0);  // 640 x 480, finest
    Settings.TRG[2].GRP = 0;  // a small picture would still fit
    start();
    tickAt(kCalm);
    disk.fill(kLeftRoom);
    PaintedTexts panel1(window->StatusBarPanel(1));
    tickAt(kIntruder);

    EXPECT_GE(panel1.timeOf(kAlarmText), 0);
    EXPECT_EQ(window->StatusBarPanel(1)->text(),
              QStringLiteral("Houndly: 警報！ 誰かいたワン！! ﾃﾞｨｽｸがいっぱいで画像と動画を保存できませんでした。"));
    const QList<QJsonObject> sent = readRecords(records(), QStringLiteral("message"));
    ASSERT_EQ(sent.size(), 2);
    for (const QJsonObject& mail : sent)
        EXPECT_TRUE(mail[QStringLiteral("attachments")].toArray().isEmpty());
    EXPECT_EQ(QDir(disk.path() + QStringLiteral("/img")).entryList(QDir::Files | QDir::Hidden), QStringList{});
    EXPECT_EQ(QDir(disk.path() + QStringLiteral("/avi")).entryList(QDir::Files | QDir::Hidden), QStringList{});
    EXPECT_EQ(readHistory(disk.path() + QStringLiteral("/history.log")).alarms.size(), 1u);
    window.reset();
}

TEST_F(AlarmEndToEndTest, ManualMailSendsTheCurrentPicture)
{
    start();
    tickAt(kCalm);
    const QImage calm = hCapWnd->latestFrame();
    showScene(kIntruder);  // the scene changes after the detector's last frame
    bool seen = false;
    whileModal(
        [&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("txtMail"))->setText(QStringLiteral("owner@example.net"));
            dialog->findChild<QLineEdit*>(QStringLiteral("txtSubject"))->setText(QStringLiteral("手動"));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("bcmdOK")), Qt::LeftButton);
        },
        &seen);
    window->menu.mnu_send->trigger();
    ASSERT_TRUE(seen);

    const QList<QJsonObject> mails = readRecords(records(), QStringLiteral("message"));
    ASSERT_EQ(mails.size(), 1);
    const QImage sent = attachedPicture(mails[0]).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sent.size(), QSize(640, 480));
    const double fromCurrent = meanByteDifference(sent, hCapWnd->latestFrame().convertToFormat(QImage::Format_RGB32));
    const double fromEarlier = meanByteDifference(sent, calm.convertToFormat(QImage::Format_RGB32));
    EXPECT_LT(fromCurrent, fromEarlier / 2);
}
