// sSendMail against real SMTP and POP3 servers on 127.0.0.1.
#include "MailFixture.h"
#include "mail/MailTransport.h"
#include "mail/Snapshot.h"
#include "tests/support/TestApplication.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

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
    EXPECT_EQ(QFile::permissions(picture) & 0x0077, 0) << "the snapshot readable by others";
    EXPECT_EQ(QFile::permissions(home.filePath("img")) & 0x0077, 0) << "the snapshot folder open to others";
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

// The window's view of a stalled server: how long the mail took and the
// longest the event loop went without serving a 100 ms timer meanwhile.
TEST_F(MailTest, StalledServersHoldTheMailOnlyWithinItsBoundsAndNeverTheWindow)
{
    testApplication();
    setMailTimeouts({4, 5, 1});
    const QString popBeforeSmtp = "0", noPop;
    struct Case {
        const char* name;
        QStringList smtpStall, popStall;
        QString optatt;  // "0" POP before SMTP, "" no authentication
        bool sent;
        qint64 boundMs;
    };
    const Case cases[] = {
        {"SMTP silent after the message", {"--stall", "data"}, {}, noPop, false, 8000},
        {"SMTP never answers QUIT", {"--stall", "quit"}, {}, noPop, true, 3000},
        {"POP never answers QUIT", {}, {"--silent-quit"}, popBeforeSmtp, true, 3000},
        {"both: one bound for the whole mail", {"--stall", "data"}, {"--silent-quit"}, popBeforeSmtp, false, 8000},
    };
    for (const Case& c : cases) {
        ServerProcess smtp("smtp_server.py", QStringList{"--record", records()} + c.smtpStall);
        ServerProcess pop("pop3_server.py", QStringList{"--record", records()} + c.popStall);
        Settings.MAIL = {"owner@example.org", loopback(smtp.port()), loopback(pop.port()), kPopUser, kPopPassword,
                         c.optatt.isEmpty() ? "0" : "1", c.optatt, "0", "", ""};
        QElapsedTimer clock, sinceTick;
        qint64 longestPause = 0;
        QTimer window;
        QObject::connect(&window, &QTimer::timeout, [&] { longestPause = std::max(longestPause, sinceTick.restart()); });
        window.start(100);
        clock.start();
        sinceTick.start();
        EXPECT_EQ(sSendMail("guard@example.net", "s", "b", ""), c.sent) << c.name;
        const qint64 tookMs = clock.elapsed();
        longestPause = std::max(longestPause, sinceTick.elapsed());
        std::printf("[ measured ] %s: %lld ms, window paused at most %lld ms\n", c.name, static_cast<long long>(tookMs),
                    static_cast<long long>(longestPause));
        EXPECT_LT(tookMs, c.boundMs) << c.name;
        EXPECT_LT(longestPause, 2000) << c.name;
    }
    EXPECT_EQ(mails().size(), 4) << "every server got the message";
    const QString log = logText();
    EXPECT_EQ(log.count("= not sent"), 2);
    EXPECT_EQ(log.count("* connection closed: the server did not answer QUIT within 1 s"), 3);
}

TEST_F(MailTest, CertificatesTheClientMustRefuse)
{
    const TestCertificate selfSigned = makeCertificate(home.path());
    const TestCertificate otherHost = makeCertificate(home.path(), "mail.example.org");
    // The server's certificate, and the CA file trusted ("" the system's store).
    const std::pair<TestCertificate, QString> cases[] = {{selfSigned, ""}, {otherHost, otherHost.certificate}};
    for (const auto& [served, trusted] : cases) {
        if (trusted.isEmpty())
            unsetenv(kCaFileVariable);
        else
            setenv(kCaFileVariable, trusted.toUtf8().constData(), 1);
        ServerProcess smtp("smtp_server.py", {"--record", records(), "--cert", served.certificate, "--key", served.key});
        Settings.MAIL = {"owner@example.org", loopback(smtp.port()), "", "", "", "1", "1", "0", kSmtpUser, kSmtpPassword};
        EXPECT_FALSE(sSendMail("guard@example.net", "s", "b", "")) << served.certificate.toStdString();
    }
    EXPECT_EQ(readRecords(records(), "ehlo").size(), 2);
    EXPECT_TRUE(readRecords(records(), "auth").isEmpty()) << "no password over a refused connection";
    EXPECT_TRUE(mails().isEmpty());
    EXPECT_EQ(logText().count("= not sent"), 2);
}

// Sent as before, but the log says when the password itself went unencrypted.
TEST_F(MailTest, PasswordsWithoutTlsAreNotedInTheLog)
{
    const TestCertificate tls = makeCertificate(home.path());
    setenv(kCaFileVariable, tls.certificate.toUtf8().constData(), 1);
    const QStringList startTls = {"--cert", tls.certificate, "--key", tls.key};
    struct Case {
        const char* name;
        QStringList smtpArguments, popArguments;
        QString optatt, atcram;
        qsizetype warnings;
    };
    const Case cases[] = {
        {"AUTH LOGIN in the clear", {}, {}, "1", "0", 1},
        {"AUTH LOGIN after STARTTLS", startTls, {}, "1", "0", 0},
        {"CRAM-MD5 sends a digest", {}, {}, "1", "1", 0},
        {"POP USER and PASS", {}, {"--no-apop"}, "0", "0", 1},
        {"APOP sends a digest", {}, {}, "0", "0", 0},
    };
    for (const Case& c : cases) {
        QFile::remove(home.filePath("mail.log.txt"));
        ServerProcess smtp("smtp_server.py", QStringList{"--record", records()} + c.smtpArguments);
        ServerProcess pop("pop3_server.py", QStringList{"--record", records()} + c.popArguments);
        Settings.MAIL = {"owner@example.org", loopback(smtp.port()), loopback(pop.port()), kPopUser, kPopPassword,
                         "1", c.optatt, c.atcram, kSmtpUser, kSmtpPassword};
        EXPECT_TRUE(sSendMail("guard@example.net", "s", "b", "")) << c.name;
        const QString log = logText();
        EXPECT_EQ(log.count("* warning: the password goes unencrypted: the server offers no STARTTLS"), c.warnings)
            << c.name << "\n" << log.toStdString();
        EXPECT_FALSE(log.contains(kSmtpPassword) || log.contains(kPopPassword)) << c.name;
    }
}
