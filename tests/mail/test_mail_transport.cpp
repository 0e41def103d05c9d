// sSendMail against real SMTP and POP3 servers on 127.0.0.1.
#include "MailFixture.h"
#include "mail/MailTransport.h"
#include "mail/Snapshot.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QImage>

namespace {

QImage testFrame()
{
    QImage frame(160, 120, QImage::Format_RGB32);
    frame.fill(qRgb(30, 140, 60));
    return frame;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString unixLines(QString text)
{
    return text.replace("\r\n", "\n");
}

}  // namespace

class SmtpAuthTest : public MailTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SmtpAuthTest, DeliversOverStartTlsWithTheMechanism)
{
    const QString mechanism = GetParam();
    const TestCertificate tls = makeCertificate(home.path());
    setenv(kCaFileVariable, tls.certificate.toUtf8().constData(), 1);
    ServerProcess smtp("smtp_server.py", {"--record", records(), "--cert", tls.certificate, "--key", tls.key});
    useSmtp(smtp);
    Settings.MAIL.ATT = "1";
    Settings.MAIL.OPTATT = "1";
    Settings.MAIL.AtCRAM = mechanism == "CRAM-MD5" ? "1" : "0";
    Settings.MAIL.SMTPUSER = "watcher";
    Settings.MAIL.SMTPPASS = kSmtpPassword;

    const QString picture = snapshotPath("TEST.jpg");
    ASSERT_EQ(writeSnapshot(testFrame(), 1, 30, picture), 0);
    const QString subject = "警報：玄関で動きがありました。番犬 Houndly からの知らせです。長い件名は複数の語に分けて送られます";
    const QString body = "侵入者を検知しました。\n写真を添付します。\n";
    ASSERT_TRUE(sSendMail("guard@example.net", subject, body, picture));

    const QList<QJsonObject> auth = readRecords(records(), "auth");
    ASSERT_EQ(auth.size(), 1);
    EXPECT_EQ(auth[0]["mechanism"].toString(), mechanism);
    EXPECT_TRUE(auth[0]["ok"].toBool());
    const QList<QJsonObject> messages = readRecords(records(), "message");
    ASSERT_EQ(messages.size(), 1);
    const QJsonObject& mail = messages[0];
    EXPECT_TRUE(mail["tls"].toBool());
    EXPECT_EQ(mail["mail_from"].toString(), "owner@example.org");
    EXPECT_EQ(mail["rcpt_tos"].toArray().size(), 1);
    EXPECT_EQ(mail["rcpt_tos"][0].toString(), "guard@example.net");
    EXPECT_EQ(mail["reply_to"].toString(), "owner@example.org");
    EXPECT_EQ(mail["subject"].toString(), subject);
    EXPECT_EQ(unixLines(mail["body"].toString()), body);
    EXPECT_FALSE(mail["date"].toString().isEmpty());
    EXPECT_TRUE(mail["message_id"].toString().endsWith("@example.org>"));
    EXPECT_EQ(mail["mime_version"].toString(), "1.0");
    for (const QString& line : mail["raw"].toString().split("\r\n").mid(0, 30))
        EXPECT_LE(line.size(), 998);

    const QJsonArray attachments = mail["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 1);
    const QByteArray data = QByteArray::fromBase64(attachments[0]["data"].toString().toLatin1());
    EXPECT_EQ(data, fileBytes(picture));
    EXPECT_EQ(attachments[0]["type"].toString(), "image/jpeg");
    EXPECT_EQ(QImage::fromData(data, "JPEG").size(), QSize(320, 240));

    const QString log = logText();
    EXPECT_TRUE(log.contains("AUTH " + mechanism));
    EXPECT_TRUE(log.contains("STARTTLS"));
    EXPECT_TRUE(log.contains("= sent"));
    EXPECT_FALSE(log.contains(kSmtpPassword));
    EXPECT_FALSE(log.contains(kSmtpPassword.toUtf8().toBase64()));
    EXPECT_EQ(QFile::permissions(home.filePath("mail.log.txt")) & 0x0077, 0) << "readable by others";
}

INSTANTIATE_TEST_SUITE_P(Mechanisms, SmtpAuthTest, ::testing::Values("LOGIN", "CRAM-MD5"));

class PopBeforeSmtpTest : public MailTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PopBeforeSmtpTest, LogsInFirstAndAddsNoCredentials)
{
    const bool apop = GetParam();
    ServerProcess pop("pop3_server.py", apop ? QStringList{"--record", records()}
                                             : QStringList{"--record", records(), "--no-apop"});
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    useSmtp(smtp);
    Settings.MAIL.POP = QString("127.0.0.1\t%1").arg(pop.port());
    Settings.MAIL.ATT = "1";
    Settings.MAIL.OPTATT = "0";
    Settings.MAIL.AtCRAM = "1";  // ignored for POP before SMTP
    Settings.MAIL.USER = "watcher";
    Settings.MAIL.PASS = kPopPassword;
    Settings.MAIL.SMTPUSER = "never-used";
    Settings.MAIL.SMTPPASS = "never-used";

    ASSERT_TRUE(sSendMail("guard@example.net", "plain subject", "body", "")) << logText().toStdString();

    const QList<QJsonObject> logins = readRecords(records(), "pop-login");
    const QList<QJsonObject> messages = readRecords(records(), "message");
    ASSERT_EQ(logins.size(), 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(logins[0]["ok"].toBool());
    EXPECT_LT(logins[0]["time"].toDouble(), readRecords(records(), "ehlo")[0]["time"].toDouble());
    EXPECT_TRUE(readRecords(records(), "auth").isEmpty());
    EXPECT_FALSE(messages[0]["authenticated"].toBool());
    EXPECT_TRUE(messages[0]["attachments"].toArray().isEmpty());
    EXPECT_EQ(messages[0]["subject"].toString(), "plain subject");

    const QString log = logText();
    EXPECT_TRUE(log.contains("STAT"));
    EXPECT_TRUE(log.contains(apop ? "APOP watcher ****" : "PASS ****"));
    EXPECT_FALSE(log.contains(kPopPassword));
}

INSTANTIATE_TEST_SUITE_P(LoginKinds, PopBeforeSmtpTest, ::testing::Bool());

TEST_F(MailTest, FailedPopLoginSendsNothing)
{
    ServerProcess pop("pop3_server.py", {"--record", records()});
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    useSmtp(smtp);
    Settings.MAIL.POP = QString("127.0.0.1\t%1").arg(pop.port());
    Settings.MAIL.ATT = "1";
    Settings.MAIL.USER = "watcher";
    Settings.MAIL.PASS = "wrong-password";

    EXPECT_FALSE(sSendMail("guard@example.net", "subject", "body", ""));
    ASSERT_EQ(readRecords(records(), "pop-login").size(), 1);
    EXPECT_TRUE(readRecords(records(), "ehlo").isEmpty());
    EXPECT_FALSE(logText().contains("wrong-password"));
}

TEST_F(MailTest, RefusedInputNeverReachesTheServer)
{
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    struct Case {
        const char* what;
        QString recipient;
        QString subject;
        QString att;
        QString optatt;
        QString atcram;
        QString smtpUser;
    };
    const Case cases[] = {
        {"recipient with a header", "guard@example.net\r\nBcc: thief@example.com", "s", "0", "0", "0", "u"},
        {"subject with a line break", "guard@example.net", "s\nBcc: thief@example.com", "0", "0", "0", "u"},
        {"account with a line break", "guard@example.net", "s", "1", "1", "0", "u\r\nRCPT TO:<x@y>"},
        {"ATT not a number", "guard@example.net", "s", "", "0", "0", "u"},
        {"OPTATT not a number", "guard@example.net", "s", "1", "x", "0", "u"},
        {"AtCRAM not a number", "guard@example.net", "s", "1", "1", "yes", "u"},
    };
    for (const Case& c : cases) {
        Settings.MAIL.SMTP = QString("127.0.0.1\t%1").arg(smtp.port());
        Settings.MAIL.ATT = c.att;
        Settings.MAIL.OPTATT = c.optatt;
        Settings.MAIL.AtCRAM = c.atcram;
        Settings.MAIL.SMTPUSER = c.smtpUser;
        Settings.MAIL.SMTPPASS = kSmtpPassword;
        EXPECT_FALSE(sSendMail(c.recipient, c.subject, "body", "")) << c.what;
    }
    EXPECT_TRUE(readRecords(records()).isEmpty());
    EXPECT_EQ(logText().count("= not sent"), static_cast<qsizetype>(std::size(cases)));
}

TEST_F(MailTest, FailuresEndWithinTheirBounds)
{
    setMailTimeouts({2, 3});
    ServerProcess silent("silent_server.py", {"--lifetime", "20"});
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    struct Case {
        const char* what;
        int port;
        QString password;
    };
    const Case cases[] = {
        {"server down", closedLoopbackPort(), kSmtpPassword},
        {"server never answers", silent.port(), kSmtpPassword},
        {"wrong password", smtp.port(), "not-the-password"},
    };
    for (const Case& c : cases) {
        Settings.MAIL.SMTP = QString("127.0.0.1\t%1").arg(c.port);
        Settings.MAIL.ATT = "1";
        Settings.MAIL.OPTATT = "1";
        Settings.MAIL.SMTPUSER = "watcher";
        Settings.MAIL.SMTPPASS = c.password;
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(sSendMail("guard@example.net", "s", "b", "")) << c.what;
        EXPECT_LT(clock.elapsed(), 15000) << c.what;
    }
    EXPECT_TRUE(readRecords(records(), "message").isEmpty());
    const QString log = logText();
    EXPECT_EQ(log.count("= not sent"), 3);
    EXPECT_FALSE(log.contains("not-the-password"));
}
