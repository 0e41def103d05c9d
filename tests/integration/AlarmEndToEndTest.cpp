// An alarm in the real main window on the demo camera, mailed through a real
// SMTP server and uploaded to a real FTP server: what the window shows of it,
// then a full disk, and a manual mail of the current picture.
#include "tests/app/LoopbackAlarmFixture.h"
#include "tests/support/Footage.h"
#include "tests/support/SmallDisk.h"

#include "history/HistoryLog.h"
#include "history/frmHistory.h"
#include "settings/AppPaths.h"
#include "upload/UploadQueue.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
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
        Settings.TRG = {destination(QStringLiteral("owner@example.net")),
                        destination(kRefused),
                        destination(QStringLiteral("neighbour@example.net"), 1, 2), MailTrigger{}};
        Settings.TRG[1].ENABLED = QStringLiteral("False");  // filled in, not in use
        Settings.FTP.MOVE = Settings.FTP.FTP = Settings.FTP.FILENAME = QStringLiteral("True");
        Settings.FTP.AUDIO = QStringLiteral("False");
    }
    // Saved and loaded again, as the dialogs would leave them.
    void start()
    {
        ASSERT_TRUE(sSaveSettings());
        startWindow();
    }
    QString appFile(const QString& name) const { return QDir(appFolder()).filePath(name); }
};

// The window shows what the watcher tells (its rules are the watcher's tests'):
// the red lamp and its line, the time of the alarm, each step painted as it
// begins, the upload's panel, the next calm tick's count. Each destination's
// mail has its picture size; a refused recipient and a refused FTP login keep
// what the servers said in the history, whose window lists the alarm while
// watching goes on, and the next alarm joins it.
TEST_F(AlarmEndToEndTest, TheWindowShowsTheAlarmItsStepsAndItsHistory)
{
    Settings.TRG[1].ENABLED = QStringLiteral("True");
    Settings.FTP.PASS = QStringLiteral("bark once");
    start();
    tickAt(kCalm);
    PaintedTexts panel1(window->StatusBarPanel(1));
    QStringList uploadPanel;
    QObject::connect(&window->watcher().uploads(), &UploadQueue::changed, [&] {
        const QString shown = window->uploadPanel->isVisible() ? window->uploadPanel->text() : QString();
        if (uploadPanel.isEmpty() || uploadPanel.last() != shown)
            uploadPanel << shown;
    });
    tickAt(kIntruder);
    const ScopePanel& scope = *window->picSideScope;
    EXPECT_TRUE(scope.signal[2]->isLit() && !scope.line_Signal[2]->isHidden() && !scope.signal[0]->isLit());
    EXPECT_TRUE(window->StatusBarPanel(2)->text().startsWith(QStringLiteral("最終警報: ")));
    const qint64 alarmAt = panel1.timeOf(kAlarmText), mailAt = panel1.timeOf(kMailing);
    const qint64 recordAt = panel1.timeOf(kRecording), uploadAt = panel1.timeOf(kUploading);
    ASSERT_TRUE(alarmAt >= 0 && mailAt >= alarmAt && recordAt > mailAt && uploadAt > recordAt)
        << alarmAt << " " << mailAt << " " << recordAt << " " << uploadAt;
    // Added, it waits a moment before it is under way.
    EXPECT_EQ(uploadPanel, (QStringList{QStringLiteral("FTP送信中･･･ (待ち 1)"), QStringLiteral("FTP送信中･･･"), QString()}));
    const QList<QJsonObject> mails = readRecords(records(), QStringLiteral("message"));
    ASSERT_EQ(mails.size(), 2);
    EXPECT_EQ(attachedPicture(mails[0]).size(), QSize(320, 240));
    EXPECT_EQ(attachedPicture(mails[1]).size(), QSize(110, 82));
    const AlarmRecord alarm = readHistory(appFile(QStringLiteral("history.log"))).alarms.at(0);
    const QString refusal = QStringLiteral("550 5.1.1 <nobody@example.net>: no such mailbox");
    ASSERT_EQ(alarm.mails.size(), 3);
    EXPECT_TRUE(!alarm.mails[1].ok && alarm.mails[1].detail.contains(refusal)) << alarm.mails[1].detail.toStdString();
    ASSERT_TRUE(alarm.upload && !alarm.upload->ok);
    EXPECT_TRUE(alarm.upload->failure.contains(QStringLiteral("Access denied: 530"))) << alarm.upload->failure.toStdString();
    tickAt(kSceneLoop + kCalm);
    EXPECT_TRUE(scope.signal[0]->isLit() && !scope.line_Signal[0]->isHidden() && scope.line_Signal[2]->isHidden());
    EXPECT_EQ(scope.lblCount->text(), QStringLiteral("000"));
    EXPECT_TRUE(messages.empty());

    window->menu.mnu_history->trigger();
    auto* dialog = window->findChild<frmHistory*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(window->watcher().Timer1->isActive());
    ASSERT_EQ(dialog->lstHistory->model()->rowCount(), 1);
    dialog->lstHistory->setCurrentIndex(dialog->lstHistory->model()->index(0, 0));
    EXPECT_TRUE(dialog->lblFailures->text().contains(refusal)) << dialog->lblFailures->text().toStdString();
    tickAt(kSceneLoop + kIntruder);
    tickAt(2 * kSceneLoop + kCalm);
    ASSERT_EQ(readHistory(appFile(QStringLiteral("history.log"))).alarms.size(), 2u);
    QApplication::processEvents();
    EXPECT_EQ(dialog->lstHistory->model()->rowCount(), 2);
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
