// sStartMailSend: one mail per destination in use, its snapshot and status texts.
#include "MailFixture.h"
#include "mail/AlarmMail.h"

#include <QDir>

namespace {

const QString kSending = "Houndly: ﾒｰﾙ送信中･･･";
const QString kHandingOver = "自動ﾒｰﾙ送信中";
const QString kMailError = "ﾒｰﾙ送信ｴﾗｰでした。";

MailTrigger destination(const QString& enabled, const QString& to, int16_t picture, int16_t size)
{
    return {enabled, to, "警報 " + to, "本文", picture, size, "", 20};
}

}  // namespace

class AlarmMailTest : public MailTest {
protected:
    void SetUp() override
    {
        MailTest::SetUp();
        Settings.MAIL.SMTP = loopback(smtp.port());
    }
    void run()
    {
        QImage frame(320, 240, QImage::Format_RGB32);
        frame.fill(qRgb(200, 30, 30));
        sStartMailSend(frame, [this](const QString& text) { statuses << text; });
    }
    QStringList recipients() const
    {
        QStringList to;
        for (const QJsonObject& mail : mails())
            to << mail["rcpt_tos"][0].toString();
        return to;
    }

    ServerProcess smtp{"smtp_server.py", {"--record", records()}};
    QStringList statuses;
};

TEST_F(AlarmMailTest, MailsEachDestinationInUseWithItsSnapshot)
{
    Settings.TRG = {destination("True", "a@example.net", 1, 1), destination("False", "b@example.net", 1, 0),
                    destination("True", "c@example.net", 0, 0), destination("true", "d@example.net", 1, 0)};
    run();

    ASSERT_EQ(recipients(), QStringList({"a@example.net", "c@example.net"}));
    EXPECT_EQ(mails()[0]["subject"].toString(), "警報 a@example.net");
    EXPECT_EQ(attachedPictureSize(mails()[0]), QSize(320, 240));
    EXPECT_GT(QImage::fromData(attachedBytes(mails()[0]).value(0), "JPEG").pixelColor(160, 120).red(), 170);
    EXPECT_TRUE(attachedBytes(mails()[1]).isEmpty());
    EXPECT_EQ(statuses, QStringList({kSending, kHandingOver, "", kSending, kHandingOver, ""}));
    EXPECT_EQ(QDir(home.filePath("img")).entryList({"*_ALERT.jpg"}).size(), 1);
}

TEST_F(AlarmMailTest, WriterFailureEndsTheRun)
{
    Settings.TRG = {destination("True", "a@example.net", 0, 0), destination("True", "b@example.net", 1, 0),
                    destination("True", "c@example.net", 0, 0), destination("True", "d@example.net", 0, 0)};
    // A file where the snapshot folder should be: the writer cannot open its file.
    QDir(home.path()).rmdir("img");
    writeFileBytes(home.filePath("img"), {});

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
    EXPECT_EQ(attachedPictureSize(mails()[0]), QSize(640, 480)) << "MINSIZE 5";
    EXPECT_EQ(statuses, QStringList({kSending, kHandingOver, kMailError, kSending, kHandingOver, "", kSending,
                                     kHandingOver, kMailError}));
}
