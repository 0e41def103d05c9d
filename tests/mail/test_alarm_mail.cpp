// sStartMailSend: one mail per destination in use, its snapshot and status texts.
#include "MailFixture.h"
#include "mail/AlarmMail.h"

#include <QDir>
#include <QJsonArray>
#include <QImage>

namespace {

const QString kSending = "Houndly: ﾒｰﾙ送信中･･･";
const QString kHandingOver = "自動ﾒｰﾙ送信中";
const QString kMailError = "ﾒｰﾙ送信ｴﾗｰでした。";

QImage alarmFrame()
{
    QImage frame(320, 240, QImage::Format_RGB32);
    frame.fill(qRgb(200, 30, 30));
    return frame;
}

MailTrigger destination(const QString& enabled, const QString& to, int16_t picture, int16_t size)
{
    MailTrigger trigger;
    trigger.ENABLED = enabled;
    trigger.MAILTO = to;
    trigger.SUBJECT = "警報 " + to;
    trigger.BODY = "本文";
    trigger.GRP = picture;
    trigger.MINSIZE = size;
    trigger.ARC = 20;
    return trigger;
}

QSize attachedPictureSize(const QJsonObject& mail)
{
    const QJsonArray attachments = mail["attachments"].toArray();
    if (attachments.size() != 1)
        return {};
    return QImage::fromData(QByteArray::fromBase64(attachments[0]["data"].toString().toLatin1()), "JPEG").size();
}

}  // namespace

class AlarmMailTest : public MailTest {
protected:
    void SetUp() override
    {
        MailTest::SetUp();
        smtp = std::make_unique<ServerProcess>("smtp_server.py", QStringList{"--record", records()});
        useSmtp(*smtp);
    }
    void run() { sStartMailSend(alarmFrame(), [this](const QString& text) { statuses << text; }); }
    QStringList recipients() const
    {
        QStringList to;
        for (const QJsonObject& mail : readRecords(records(), "message"))
            to << mail["rcpt_tos"][0].toString();
        return to;
    }

    std::unique_ptr<ServerProcess> smtp;
    QStringList statuses;
};

TEST_F(AlarmMailTest, MailsEachDestinationInUseWithItsSnapshot)
{
    Settings.TRG = {destination("True", "a@example.net", 1, 1), destination("False", "b@example.net", 1, 0),
                    destination("True", "c@example.net", 0, 0), destination("true", "d@example.net", 1, 0)};
    run();

    const QList<QJsonObject> mails = readRecords(records(), "message");
    ASSERT_EQ(recipients(), QStringList({"a@example.net", "c@example.net"}));
    EXPECT_EQ(mails[0]["subject"].toString(), "警報 a@example.net");
    EXPECT_EQ(attachedPictureSize(mails[0]), QSize(320, 240));
    const QImage picture = QImage::fromData(
        QByteArray::fromBase64(mails[0]["attachments"][0]["data"].toString().toLatin1()), "JPEG");
    EXPECT_GT(picture.pixelColor(160, 120).red(), 170);
    EXPECT_TRUE(mails[1]["attachments"].toArray().isEmpty());
    EXPECT_EQ(statuses, QStringList({kSending, kHandingOver, "", kSending, kHandingOver, ""}));
    EXPECT_EQ(QDir(home.filePath("img")).entryList({"*_ALERT.jpg"}).size(), 1);
}

TEST_F(AlarmMailTest, WriterFailureEndsTheRun)
{
    Settings.TRG = {destination("True", "a@example.net", 0, 0), destination("True", "b@example.net", 1, 0),
                    destination("True", "c@example.net", 0, 0), destination("True", "d@example.net", 0, 0)};
    // A file where the snapshot folder should be: the writer cannot open its file.
    QDir(home.path()).rmdir("img");
    QFile blocker(home.filePath("img"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    run();
    EXPECT_EQ(recipients(), QStringList({"a@example.net"}));
    EXPECT_EQ(statuses, QStringList({kSending, kHandingOver, "", kSending}));
    EXPECT_TRUE(logText().contains("not written (1)"));
}

TEST_F(AlarmMailTest, TransportFailureGoesOnToTheNext)
{
    Settings.TRG = {destination("True", "a@example.net\r\nBcc: thief@example.com", 1, 1),
                    destination("True", "b@example.net", 1, 5), destination("False", "", 0, 0),
                    destination("True", "d@example.net\nX: y", 0, 0)};
    run();
    EXPECT_EQ(recipients(), QStringList({"b@example.net"}));
    EXPECT_EQ(attachedPictureSize(readRecords(records(), "message")[0]), QSize(640, 480)) << "MINSIZE 5";
    EXPECT_EQ(statuses, QStringList({kSending, kHandingOver, kMailError, kSending, kHandingOver, "", kSending,
                                     kHandingOver, kMailError}));
}

TEST_F(AlarmMailTest, NoDestinationInUseDoesNothing)
{
    run();
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_TRUE(readRecords(records()).isEmpty());
}
