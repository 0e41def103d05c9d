// The whole road of an alarm in the real main window on the demo camera: the
// intruder crosses, both destinations get their mail from a real SMTP server,
// the clip is recorded and goes up to a real FTP server, and the next tick is
// calm again. Then a manual mail of the current picture.
#include "tests/app/LoopbackAlarmFixture.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/Footage.h"

#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QRegularExpression>

#include <cmath>

namespace {

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
        Settings.TRG = {destination(QStringLiteral("owner@example.net")), destination(QStringLiteral("nobody@example.net")),
                        destination(QStringLiteral("neighbour@example.net"), 1, 2), MailTrigger{}};
        Settings.TRG[1].ENABLED = QStringLiteral("False");  // filled in, not in use
        Settings.FTP.MOVE = Settings.FTP.FTP = QStringLiteral("True");
        Settings.FTP.FILENAME = Settings.FTP.AUDIO = QStringLiteral("False");
        // Saved and loaded again, as the dialogs would leave it.
        ASSERT_TRUE(sSaveSettings());
        startWindow();
    }
    void TearDown() override
    {
        LoopbackAlarmFixture::TearDown();
        qunsetenv("WINDIR");
    }

    QByteArray appFile(const QString& name) const { return readFileBytes(home.filePath(name)); }
};

TEST_F(AlarmEndToEndTest, IntruderIsMailedRecordedUploadedAndTheWatcherCalmsDown)
{
    ASSERT_EQ(Settings.FTP.TIME, 5);
    ASSERT_FALSE(Settings.COM.SoundPath.isEmpty());
    tickAt(kCalm);
    PaintedTexts panel1(window->StatusBarPanel(1));
    tickAt(kIntruder);
    const QString soundAfterAlarm = GetSoundMode(Settings.COM.SoundPath);
    tickAt(kIntruder + 500);

    // The order of the alarm: mail, then the recording, then the upload.
    const qint64 alarmAt = panel1.timeOf(kAlarmText), mailAt = panel1.timeOf(kMailing);
    const qint64 recordAt = panel1.timeOf(kRecording), uploadAt = panel1.timeOf(kUploading);
    ASSERT_TRUE(alarmAt >= 0 && mailAt >= alarmAt && recordAt > mailAt && uploadAt > recordAt)
        << alarmAt << " " << mailAt << " " << recordAt << " " << uploadAt;

    const QList<QJsonObject> mails = readRecords(records(), QStringLiteral("message"));
    const QString log = QString::fromUtf8(appFile(QStringLiteral("mail.log.txt")));
    ASSERT_EQ(mails.size(), 2);
    const QStringList recipients = {QStringLiteral("owner@example.net"), QStringLiteral("neighbour@example.net")};
    const QSize sizes[] = {{320, 240}, {110, 82}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(mails[i][QStringLiteral("rcpt_tos")].toArray().toVariantList(), QVariantList{recipients[i]});
        EXPECT_TRUE(mails[i][QStringLiteral("authenticated")].toBool());
        EXPECT_EQ(attachedPicture(mails[i]).size(), sizes[i]);
        const qint64 sentAt = std::llround(mails[i][QStringLiteral("time")].toDouble() * 1000);
        EXPECT_TRUE(sentAt >= mailAt && sentAt <= recordAt) << i;
        EXPECT_TRUE(log.contains(QStringLiteral("RCPT TO:<%1>").arg(recipients[i]))) << i;
    }
    EXPECT_EQ(log.count(QStringLiteral("AUTH LOGIN")), 2);
    EXPECT_EQ(log.count(QStringLiteral("\n= sent")), 2);
    EXPECT_FALSE(log.contains(kSmtpPassword));
    EXPECT_FALSE(log.contains(QString::fromLatin1(kSmtpPassword.toUtf8().toBase64())));

    const QStringList clips = QDir(home.filePath(QStringLiteral("avi")))
                                  .entryList(QDir::Files)
                                  .filter(QRegularExpression(QStringLiteral("^\\d{12}_ALERT\\.AVI$")));
    ASSERT_EQ(clips.size(), 1);
    const QByteArray clip = appFile(QStringLiteral("avi/") + clips[0]);
    // The upload is over when the alarm is: the server has the whole clip already.
    EXPECT_EQ(ftp.fileContent(clips[0]), clip);
    const ClipFacts facts = probeClip(QDir(ftp.root()).filePath(clips[0]));
    EXPECT_TRUE(facts.decodes);
    EXPECT_EQ(facts.codec, QStringLiteral("mjpeg"));
    EXPECT_EQ(facts.frameRate, QStringLiteral("30/1"));
    EXPECT_LE(std::abs(facts.durationSeconds - 5.0), 5.0 / 30);
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("FTP_PUT.txt"))));

    // The tick after the alarm: calm, the commands open, the sound closed.
    EXPECT_EQ(soundAfterAlarm, QStringLiteral("PLAYING"));
    EXPECT_EQ(window->StatusBarPanel(1)->text(), QStringLiteral("Houndly: 大丈夫ワン！"));
    EXPECT_EQ(mciSendString(QStringLiteral("close \"%1\"").arg(Settings.COM.SoundPath)).error,
              SoundError::DeviceNotOpen);
    EXPECT_FALSE(window->camera->Timer2->isActive());
    EXPECT_TRUE(window->camera->Timer1->isActive());
    for (QPushButton* command : {window->picSideWindow->bcmd_SendMail, window->picSideWindow->bcmd_Ftp,
                                 window->picSideWindow->bcmd_End, window->picSideWindow->cmdKenchi})
        EXPECT_TRUE(command->isEnabled()) << command->objectName().toStdString();
    EXPECT_TRUE(messages.empty());
}

TEST_F(AlarmEndToEndTest, ManualMailSendsTheCurrentPicture)
{
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
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("送信しました。"));

    const QList<QJsonObject> mails = readRecords(records(), QStringLiteral("message"));
    ASSERT_EQ(mails.size(), 1);
    const QImage sent = attachedPicture(mails[0]).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sent.size(), QSize(640, 480));
    const double fromCurrent = meanByteDifference(sent, hCapWnd->latestFrame().convertToFormat(QImage::Format_RGB32));
    const double fromEarlier = meanByteDifference(sent, calm.convertToFormat(QImage::Format_RGB32));
    EXPECT_LT(fromCurrent, fromEarlier / 2);
    EXPECT_TRUE(appFile(QStringLiteral("mail.log.txt")).contains("owner@example.net"));
    EXPECT_TRUE(window->camera->Timer1->isActive());
}
