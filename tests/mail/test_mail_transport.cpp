// sSendMail against real SMTP and POP3 servers on 127.0.0.1.
#include "MailFixture.h"
#include "mail/MailTransport.h"
#include "mail/Snapshot.h"

#include <QElapsedTimer>

class SmtpAuthTest : public MailTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SmtpAuthTest, DeliversOverStartTlsWithTheMechanism)
{
    const QString mechanism = GetParam();
    const TestCertificate tls = makeCertificate(home.path());
    setenv(kCaFileVariable, tls.certificate.toUtf8().constData(), 1);
    ServerProcess smtp("smtp_server.py", {"--record", records(), "--cert", tls.certificate, "--key", tls.key});
    Settings.MAIL.SMTP = loopback(smtp.port());
    Settings.MAIL.ATT = "1";
    Settings.MAIL.OPTATT = "1";
    Settings.MAIL.AtCRAM = mechanism == "CRAM-MD5" ? "1" : "0";
    Settings.MAIL.SMTPUSER = kSmtpUser;
    Settings.MAIL.SMTPPASS = kSmtpPassword;

    QImage frame(160, 120, QImage::Format_RGB32);
    frame.fill(qRgb(30, 140, 60));
    const QString picture = snapshotPath("TEST.jpg");
    ASSERT_EQ(writeSnapshot(frame, 1, 30, picture), 0);
    const QString subject = "警報：玄関で動きがありました。番犬 Houndly からの知らせです。長い件名は複数の語に分けて送られます";
    const QString body = "侵入者を検知しました。\n写真を添付します。\n";
    ASSERT_TRUE(sSendMail("guard@example.net", subject, body, picture));

    const QList<QJsonObject> auth = readRecords(records(), "auth");
    ASSERT_EQ(auth.size(), 1);
    EXPECT_TRUE(auth[0]["mechanism"].toString() == mechanism && auth[0]["ok"].toBool());
    ASSERT_EQ(mails().size(), 1);
    const QJsonObject mail = mails()[0];
    EXPECT_TRUE(mail["tls"].toBool());
    EXPECT_EQ(mail["mail_from"].toString(), "owner@example.org");
    EXPECT_EQ(mail["rcpt_tos"].toArray(), QJsonArray{"guard@example.net"});
    EXPECT_EQ(mail["reply_to"].toString(), "owner@example.org");
    EXPECT_EQ(mail["subject"].toString(), subject);
    EXPECT_EQ(mail["body"].toString().replace("\r\n", "\n"), body);
    EXPECT_TRUE(mail["message_id"].toString().endsWith("@example.org>"));
    EXPECT_EQ(mail["attachments"][0]["type"].toString(), "image/jpeg");
    EXPECT_EQ(attachedBytes(mail), QList<QByteArray>{readFileBytes(picture)});
    EXPECT_EQ(attachedPictureSize(mail), QSize(320, 240));

    const QString log = logText();
    EXPECT_TRUE(log.contains("STARTTLS") && log.contains("= sent"));
    EXPECT_FALSE(log.contains(kSmtpPassword));
    EXPECT_FALSE(log.contains(kSmtpPassword.toUtf8().toBase64()));
    EXPECT_EQ(QFile::permissions(home.filePath("mail.log.txt")) & 0x0077, 0) << "readable by others";
}

INSTANTIATE_TEST_SUITE_P(Mechanisms, SmtpAuthTest, ::testing::Values("LOGIN", "CRAM-MD5"));

class PopBeforeSmtpTest : public MailTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PopBeforeSmtpTest, LogsInFirstAndAddsNoCredentials)
{
    const bool apop = GetParam();
    ServerProcess pop("pop3_server.py", QStringList{"--record", records()} + (apop ? QStringList() : QStringList{"--no-apop"}));
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    Settings.MAIL = {"owner@example.org", loopback(smtp.port()), loopback(pop.port()), kPopUser, kPopPassword,
                     "1", "0", "1", "never-used", "never-used"};  // CRAM-MD5 is ignored for POP before SMTP

    ASSERT_TRUE(sSendMail("guard@example.net", "plain subject", "body", "")) << logText().toStdString();

    const QList<QJsonObject> logins = readRecords(records(), "pop-login");
    ASSERT_EQ(logins.size(), 1);
    ASSERT_EQ(mails().size(), 1);
    EXPECT_TRUE(logins[0]["ok"].toBool());
    EXPECT_LT(logins[0]["time"].toDouble(), readRecords(records(), "ehlo")[0]["time"].toDouble());
    EXPECT_TRUE(readRecords(records(), "auth").isEmpty());
    EXPECT_FALSE(mails()[0]["authenticated"].toBool());
    EXPECT_TRUE(mails()[0]["attachments"].toArray().isEmpty());
    EXPECT_EQ(mails()[0]["subject"].toString(), "plain subject");

    const QString log = logText();
    EXPECT_TRUE(log.contains("STAT"));
    EXPECT_TRUE(log.contains(apop ? "APOP watcher ****" : "PASS ****"));
    EXPECT_FALSE(log.contains(kPopPassword));
}

INSTANTIATE_TEST_SUITE_P(LoginKinds, PopBeforeSmtpTest, ::testing::Bool());

TEST_F(MailTest, RefusedInputNeverReachesTheServer)
{
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    struct Case {
        const char* what;
        QString recipient, subject, att, optatt, atcram, smtpUser;
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
        Settings.MAIL = {"owner@example.org", loopback(smtp.port()), "", "", "", c.att, c.optatt, c.atcram, c.smtpUser,
                         kSmtpPassword};
        EXPECT_FALSE(sSendMail(c.recipient, c.subject, "body", "")) << c.what;
    }
    EXPECT_TRUE(readRecords(records()).isEmpty());
    EXPECT_EQ(logText().count("= not sent"), static_cast<qsizetype>(std::size(cases)));
}

TEST_F(MailTest, FailuresEndWithinTheirBoundsAndSendNothing)
{
    setMailTimeouts({2, 3});
    ServerProcess silent("silent_server.py", {"--lifetime", "30"});
    ServerProcess pop("pop3_server.py", {"--record", records()});
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    struct Case {
        const char* what;
        int port;
        QString optatt;  // "0" POP before SMTP, "1" SMTP AUTH
        QString password;
    };
    const Case cases[] = {
        {"wrong POP password", smtp.port(), "0", "wrong-password"},
        {"server down", closedLoopbackPort(), "1", kSmtpPassword},
        {"server never answers", silent.port(), "1", kSmtpPassword},
        {"wrong SMTP password", smtp.port(), "1", "wrong-password"},
    };
    for (const Case& c : cases) {
        Settings.MAIL = {"owner@example.org", loopback(c.port), loopback(pop.port()), kPopUser, c.password,
                         "1", c.optatt, "0", kSmtpUser, c.password};
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(sSendMail("guard@example.net", "s", "b", "")) << c.what;
        EXPECT_LT(clock.elapsed(), 20000) << c.what;
        if (c.optatt == "0") {
            EXPECT_EQ(readRecords(records(), "pop-login").size(), 1);
            EXPECT_TRUE(readRecords(records(), "ehlo").isEmpty()) << "SMTP after a failed POP login";
        }
    }
    EXPECT_TRUE(mails().isEmpty());
    const QString log = logText();
    EXPECT_EQ(log.count("= not logged in"), 1);
    EXPECT_EQ(log.count("= not sent"), 3);
    EXPECT_FALSE(log.contains("wrong-password"));
}
