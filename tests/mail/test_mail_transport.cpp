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
    Settings.MAIL = {"owner@example.org", loopback(smtp.port()), "", "", "", "1", "1",
                     mechanism == "CRAM-MD5" ? "1" : "0", kSmtpUser, kSmtpPassword};
    QImage frame(160, 120, QImage::Format_RGB32);
    frame.fill(qRgb(30, 140, 60));
    const QString picture = snapshotPath("TEST.jpg");
    ASSERT_EQ(writeSnapshot(frame, 1, 30, picture), 0);
    const QString subject = "警報：玄関で動きがありました。番犬 Houndly からの知らせです。長い件名は複数の語に分けて送られます";
    const QString body = "侵入者を検知しました。\n写真を添付します。\n";
    ASSERT_TRUE(sSendMail("guard@example.net", subject, body, picture));

    const QList<QJsonObject> auth = readRecords(records(), "auth");
    EXPECT_TRUE(auth.size() == 1 && auth[0]["mechanism"].toString() == mechanism && auth[0]["ok"].toBool());
    ASSERT_EQ(mails().size(), 1);
    const QJsonObject mail = mails()[0];
    EXPECT_EQ(QStringList({mail["tls"].toBool() ? "tls" : "plain", mail["mail_from"].toString(),
                           mail["rcpt_tos"][0].toString(), mail["reply_to"].toString(), mail["subject"].toString(),
                           mail["body"].toString().replace("\r\n", "\n")}),
              QStringList({"tls", "owner@example.org", "guard@example.net", "owner@example.org", subject, body}));
    EXPECT_EQ(mail["rcpt_tos"].toArray().size(), 1);
    EXPECT_EQ(attachedBytes(mail), QList<QByteArray>{readFileBytes(picture)});
    EXPECT_TRUE(logText().contains("STARTTLS"));
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
    ASSERT_EQ(mails().size(), 1);
    ASSERT_TRUE(logins.size() == 1 && logins[0]["ok"].toBool());
    EXPECT_LT(logins[0]["time"].toDouble(), readRecords(records(), "ehlo")[0]["time"].toDouble());
    EXPECT_TRUE(readRecords(records(), "auth").isEmpty() && !mails()[0]["authenticated"].toBool());
    const QString log = logText();
    EXPECT_TRUE(log.contains(apop ? "APOP watcher ****" : "PASS ****"));
    EXPECT_FALSE(log.contains(kPopPassword));
}

INSTANTIATE_TEST_SUITE_P(LoginKinds, PopBeforeSmtpTest, ::testing::Bool());

TEST_F(MailTest, RefusedInputNeverReachesTheServer)
{
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    const QString to = "guard@example.net";
    const std::array<QString, 6> cases[] = {  // recipient, subject, ATT, OPTATT, AtCRAM, SMTP user
        {to + "\r\nBcc: thief@example.com", "s", "0", "0", "0", "u"},
        {to, "s\nBcc: thief@example.com", "0", "0", "0", "u"},
        {to, "s", "1", "1", "0", "u\r\nRCPT TO:<x@y>"},
        {to, "s", "", "0", "0", "u"},
        {to, "s", "1", "x", "0", "u"},
        {to, "s", "1", "1", "yes", "u"},
    };
    for (const auto& [recipient, subject, att, optatt, atcram, user] : cases) {
        Settings.MAIL = {"owner@example.org", loopback(smtp.port()), "", "", "", att, optatt, atcram, user, kSmtpPassword};
        EXPECT_FALSE(sSendMail(recipient, subject, "body", "")) << (recipient + subject + att + optatt + atcram + user).toStdString();
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
    // SMTP port, OPTATT ("0" POP before SMTP, "1" SMTP AUTH), password.
    const std::tuple<int, QString, QString> cases[] = {
        {smtp.port(), "0", "wrong-password"},
        {closedLoopbackPort(), "1", kSmtpPassword},
        {silent.port(), "1", kSmtpPassword},
        {smtp.port(), "1", "wrong-password"},
    };
    for (const auto& [port, optatt, password] : cases) {
        Settings.MAIL = {"owner@example.org", loopback(port), loopback(pop.port()), kPopUser, password,
                         "1", optatt, "0", kSmtpUser, password};
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(sSendMail("guard@example.net", "s", "b", "")) << port;
        EXPECT_LT(clock.elapsed(), 20000) << port;
    }
    EXPECT_EQ(readRecords(records(), "pop-login").size(), 1);
    EXPECT_EQ(readRecords(records(), "ehlo").size(), 1) << "only the wrong SMTP password reaches SMTP";
    EXPECT_TRUE(mails().isEmpty());
    const QString log = logText();
    EXPECT_EQ(log.count("= not logged in"), 1);
    EXPECT_EQ(log.count("= not sent"), 3);
    EXPECT_FALSE(log.contains("wrong-password"));
}
