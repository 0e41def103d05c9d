// sStartMailSend: one mail per destination in use, its snapshot and status texts.
#include "MailFixture.h"
#include "mail/AlarmMail.h"

#include <QDir>

namespace {

const QString kSending = "Houndly: ﾒｰﾙ送信中･･･";
const QString kHandingOver = "自動ﾒｰﾙ送信中";
const QString kMailError = "ﾒｰﾙ送信ｴﾗｰでした。";

MailTrigger destination(const QString& enabled, const QString& to, int16_t picture = 0, int16_t size = 0)
{
    return {enabled, to, "警報 " + to, "本文", picture, size, "", 20};
}

}  // namespace

class AlarmMailTest : public MailTest {
protected:
    QStringList run()
    {
        ServerProcess smtp{"smtp_server.py", {"--record", records()}};
        Settings.MAIL.SMTP = loopback(smtp.port());
        QImage frame(320, 240, QImage::Format_RGB32);
        frame.fill(qRgb(200, 30, 30));
        QStringList statuses;
        sStartMailSend(frame, [&statuses](const QString& text) { statuses << text; });
        return statuses;
    }
    QStringList recipients() const
    {
        QStringList to;
        for (const QJsonObject& mail : mails())
            to << mail["rcpt_tos"][0].toString();
        return to;
    }
};

TEST_F(AlarmMailTest, MailsEachDestinationInUseAndGoesOnAfterAFailure)
{
    Settings.TRG = {destination("True", "a@example.net\r\nBcc: thief@example.com", 1, 1),
                    destination("True", "b@example.net", 1, 5), destination("true", "c@example.net"),
                    destination("True", "d@example.net")};
    EXPECT_EQ(run(), QStringList({kSending, kHandingOver, kMailError, kSending, kHandingOver, "", kSending,
                                  kHandingOver, ""}));
    ASSERT_EQ(recipients(), QStringList({"b@example.net", "d@example.net"}));
    EXPECT_EQ(mails()[0]["subject"].toString(), "警報 b@example.net");
    EXPECT_EQ(attachedPictureSize(mails()[0]), QSize(640, 480)) << "MINSIZE 5";
    EXPECT_TRUE(attachedBytes(mails()[1]).isEmpty());
    EXPECT_EQ(QDir(home.filePath("img")).entryList({"*_ALERT.jpg"}).size(), 1);
}

TEST_F(AlarmMailTest, WriterFailureEndsTheRun)
{
    Settings.TRG = {destination("True", "a@example.net"), destination("True", "b@example.net", 1),
                    destination("True", "c@example.net"), destination("True", "d@example.net")};
    // A file where the snapshot folder should be: the writer cannot open its file.
    QDir(home.path()).rmdir("img");
    writeFileBytes(home.filePath("img"), {});
    EXPECT_EQ(run(), QStringList({kSending, kHandingOver, "", kSending}));
    EXPECT_EQ(recipients(), QStringList({"a@example.net"}));
    EXPECT_TRUE(logText().contains("not written (1)"));
}
