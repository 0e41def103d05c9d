// sSendMail against real SMTP and POP3 servers on 127.0.0.1, and the automatic
// mail of an alarm (sStartMailSend): one mail per destination in use, its
// snapshot and status texts.
#include "MailFixture.h"
#include "mail/AlarmMail.h"
#include "mail/MailTransport.h"
#include "mail/MailWait.h"
#include "mail/Snapshot.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>


// Every way of logging in delivers the whole mail; the log masks the credentials
// where they stand, and only there (short passwords that are also parts of the
// addresses leave them whole), and says when a password went unencrypted.
TEST_F(MailTest, EachLoginDeliversTheWholeMail)
{
    const TestCertificate tls = makeCertificate(home.path());
    setenv(kCaFileVariable, tls.certificate.toUtf8().constData(), 1);
    const QStringList startTls = {"--cert", tls.certificate, "--key", tls.key};
    QImage frame(160, 120, QImage::Format_RGB32);
    frame.fill(qRgb(30, 140, 60));
    const QString picture = snapshotPath("TEST.jpg");
    ASSERT_EQ(writeSnapshot(frame, 1, 30, picture), 0);
    EXPECT_EQ(QFile::permissions(picture) & 0x0077, 0) << "the snapshot readable by others";
    EXPECT_EQ(QFile::permissions(home.filePath("img")) & 0x0077, 0) << "the snapshot folder open to others";
    const QString subject = "警報：玄関で動きがありました。番犬 Houndly からの知らせです。長い件名は複数の語に分けて送られます";
    const QString body = "侵入者を検知しました。\n写真を添付します。\n";
    struct Case {
        const char* name;
        QStringList smtpArguments, popArguments;
        QString optatt, atcram;  // OPTATT "0" POP before SMTP (CRAM-MD5 ignored), "1" SMTP AUTH
        QString mechanism;       // "" for POP before SMTP
        qsizetype warnings;      // of a password sent unencrypted
        QString masked;
        QString password;        // the SMTP-AUTH or the POP one
    };
    const Case cases[] = {
        {"AUTH LOGIN after STARTTLS", startTls, {}, "1", "0", "LOGIN", 0, "> AUTH LOGIN", "mail"},
        {"AUTH LOGIN in the clear", {}, {}, "1", "0", "LOGIN", 1, "> AUTH LOGIN", "p"},
        {"CRAM-MD5 sends a digest", {}, {}, "1", "1", "CRAM-MD5", 0, "> AUTH CRAM-MD5", "home"},
        {"POP USER and PASS", {}, {"--no-apop"}, "0", "1", "", 1, "> PASS ****", "mail"},
        {"APOP sends a digest", {}, {}, "0", "1", "", 0, "> APOP watcher ****", "home"},
    };
    const QString sender = "mail@home.example.org";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(records());
        QFile::remove(home.filePath("mail.log.txt"));
        ServerProcess smtp("smtp_server.py", QStringList{"--record", records(), "--password", c.password} + c.smtpArguments);
        ServerProcess pop("pop3_server.py", QStringList{"--record", records(), "--password", c.password} + c.popArguments);
        Settings.MAIL = {sender, loopback(smtp.port()), loopback(pop.port()), kPopUser, c.password,
                         "1", c.optatt, c.atcram, kSmtpUser, c.password};
        ASSERT_TRUE(sSendMail("guard@example.net", subject, body, picture)) << logText().toStdString();

        const QList<QJsonObject> auth = readRecords(records(), "auth");
        const QList<QJsonObject> logins = readRecords(records(), "pop-login");
        if (c.mechanism.isEmpty()) {
            EXPECT_TRUE(auth.isEmpty());
            ASSERT_TRUE(logins.size() == 1 && logins[0]["ok"].toBool());
            EXPECT_LT(logins[0]["time"].toDouble(), readRecords(records(), "ehlo")[0]["time"].toDouble());
        } else {
            EXPECT_TRUE(logins.isEmpty());
            EXPECT_TRUE(auth.size() == 1 && auth[0]["mechanism"].toString() == c.mechanism && auth[0]["ok"].toBool());
        }
        ASSERT_EQ(mails().size(), 1);
        const QJsonObject mail = mails()[0];
        EXPECT_EQ(QStringList({mail["tls"].toBool() ? "tls" : "plain", mail["mail_from"].toString(),
                               mail["rcpt_tos"][0].toString(), mail["reply_to"].toString(), mail["subject"].toString(),
                               mail["body"].toString().replace("\r\n", "\n")}),
                  QStringList({c.smtpArguments.isEmpty() ? "plain" : "tls", sender, "guard@example.net",
                               sender, subject, body}));
        EXPECT_EQ(mail["rcpt_tos"].toArray().size(), 1);
        EXPECT_EQ(mail["authenticated"].toBool(), !c.mechanism.isEmpty());
        EXPECT_EQ(attachedBytes(mail), QList<QByteArray>{readFileBytes(picture)});
        const QString log = logText();
        EXPECT_EQ(log.count("* warning: the password goes unencrypted: the server offers no STARTTLS"), c.warnings)
            << log.toStdString();
        EXPECT_EQ(log.contains("> STARTTLS"), !c.smtpArguments.isEmpty()) << log.toStdString();
        EXPECT_TRUE(log.contains(c.masked)) << log.toStdString();
        EXPECT_TRUE(log.contains("> MAIL FROM:<" + sender + ">") && log.contains("> RCPT TO:<guard@example.net>"))
            << log.toStdString();
        EXPECT_FALSE(log.contains(c.password.toUtf8().toBase64()) || log.contains("PASS " + c.password)) << log.toStdString();
        EXPECT_EQ(QFile::permissions(home.filePath("mail.log.txt")) & 0x0077, 0) << "readable by others";
    }
}

// Refused input never reaches a server; refused logins, unreachable servers and
// certificates the client must refuse end within their bounds.
TEST_F(MailTest, FailuresEndWithinTheirBoundsAndSendNothing)
{
    setMailTimeouts({2, 3});
    const TestCertificate selfSigned = makeCertificate(home.path());
    const TestCertificate otherHost = makeCertificate(home.path(), "mail.example.org");
    ServerProcess silent("silent_server.py", {"--lifetime", "30"});
    ServerProcess pop("pop3_server.py", {"--record", records()});
    ServerProcess smtp("smtp_server.py", {"--record", records()});
    ServerProcess selfSignedSmtp("smtp_server.py", {"--record", records(), "--cert", selfSigned.certificate, "--key", selfSigned.key});
    ServerProcess otherHostSmtp("smtp_server.py", {"--record", records(), "--cert", otherHost.certificate, "--key", otherHost.key});
    // SMTP port, OPTATT ("0" POP before SMTP, "1" SMTP AUTH), password, CA file trusted ("" the system's store).
    const std::tuple<int, QString, QString, QString> cases[] = {
        {smtp.port(), "0", "wrong-password", ""},
        {closedLoopbackPort(), "1", kSmtpPassword, ""},
        {silent.port(), "1", kSmtpPassword, ""},
        {smtp.port(), "1", "wrong-password", ""},
        {selfSignedSmtp.port(), "1", kSmtpPassword, ""},
        {otherHostSmtp.port(), "1", kSmtpPassword, otherHost.certificate},
    };
    for (const auto& [port, optatt, password, trusted] : cases) {
        if (trusted.isEmpty())
            unsetenv(kCaFileVariable);
        else
            setenv(kCaFileVariable, trusted.toUtf8().constData(), 1);
        Settings.MAIL = {"owner@example.org", loopback(port), loopback(pop.port()), kPopUser, password,
                         "1", optatt, "0", kSmtpUser, password};
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(sSendMail("guard@example.net", "s", "b", "")) << port;
        EXPECT_LT(clock.elapsed(), 20000) << port;
    }
    const QString to = "guard@example.net";
    const std::array<QString, 6> refused[] = {  // recipient, subject, ATT, OPTATT, AtCRAM, SMTP user
        {to + "\r\nBcc: thief@example.com", "s", "0", "0", "0", "u"}, {to, "s\nBcc: thief@example.com", "0", "0", "0", "u"},
        {to, "a\rb", "0", "0", "0", "u"}, {to + "\t", "s", "0", "0", "0", "u"}, {to, "a\u2028b", "0", "0", "0", "u"},
        {to, "s", "1", "1", "0", "u\r\nRCPT TO:<x@y>"}, {to, "s", "", "0", "0", "u"}, {to, "s", "1", "x", "0", "u"},
        {to, "s", "1", "1", "yes", "u"},
    };
    for (const auto& [recipient, subject, att, optatt, atcram, user] : refused) {
        Settings.MAIL = {"owner@example.org", loopback(smtp.port()), "", "", "", att, optatt, atcram, user, kSmtpPassword};
        EXPECT_FALSE(sSendMail(recipient, subject, "body", "")) << (recipient + subject + att + optatt + atcram + user).toStdString();
    }
    EXPECT_EQ(readRecords(records(), "pop-login").size(), 1);
    EXPECT_EQ(readRecords(records(), "ehlo").size(), 3) << "the wrong SMTP password and the two certificates";
    EXPECT_EQ(readRecords(records(), "auth").size(), 1) << "no password over a refused connection";
    EXPECT_TRUE(mails().isEmpty());
    const QString log = logText();
    EXPECT_EQ(log.count("= not logged in"), 1);
    EXPECT_EQ(log.count("= not sent"), 5 + std::ssize(refused));
    EXPECT_FALSE(log.contains("wrong-password"));
}

// The window's view of a stalled server: how long the mail took and the
// longest the event loop went without serving a 100 ms timer meanwhile.
TEST_F(MailTest, StalledServersHoldTheMailOnlyWithinItsBoundsAndNeverTheWindow)
{
    testApplication();
    const QString popBeforeSmtp = "0", noPop;
    struct Case {
        const char* name;
        QStringList smtpStall, popStall;
        QString optatt;  // "0" POP before SMTP, "" no authentication
        int goodbyeSeconds;
        bool sent;
        qint64 boundMs;
    };
    const Case cases[] = {
        {"SMTP never answers QUIT", {"--stall", "quit"}, {}, noPop, 1, true, 3000},
        {"POP never answers QUIT", {}, {"--silent-quit"}, popBeforeSmtp, 1, true, 3000},
        // 3 s of POP's goodbye and SMTP silent after the message: 5 s in all, not 3 + 5.
        {"one bound for the whole mail", {"--stall", "data"}, {"--silent-quit"}, popBeforeSmtp, 3, false, 6500},
    };
    for (const Case& c : cases) {
        setMailTimeouts({4, 5, c.goodbyeSeconds});
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
        EXPECT_EQ(sendWhileTheWindowLives([] { return sSendMail("guard@example.net", "s", "b", ""); }), c.sent) << c.name;
        longestPause = std::max(longestPause, sinceTick.elapsed());
        EXPECT_LT(clock.elapsed(), c.boundMs) << c.name;
        EXPECT_LT(longestPause, 2000) << c.name;
    }
    EXPECT_EQ(mails().size(), 3) << "every server got the message";
    const QString log = logText();
    EXPECT_EQ(log.count("= not sent"), 1);
    EXPECT_EQ(log.count("* connection closed: the server did not answer QUIT within 1 s"), 2);
    EXPECT_EQ(log.count("* connection closed: the server did not answer QUIT within 3 s"), 1);
}

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
    void SetUp() override
    {
        MailTest::SetUp();
        testApplication();
        useTestLanguage("ja");
    }
    QStringList run()
    {
        ServerProcess smtp{"smtp_server.py", {"--record", records()}};
        Settings.MAIL.SMTP = loopback(smtp.port());
        QImage frame(320, 240, QImage::Format_RGB32);
        frame.fill(qRgb(200, 30, 30));
        QStringList statuses;
        sStartMailSend(frame, [&statuses](const QString& text) { statuses << text; }, [](const WatchEvent&) {});
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

// A mail that fails does not stop the next destination's; a snapshot that
// cannot be written ends the run.
TEST_F(AlarmMailTest, MailsEachDestinationInUseAndGoesOnAfterAFailureButNotAfterTheWriters)
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
    EXPECT_EQ(QDir(home.filePath("img")).entryList({"*_ALERT*.jpg"}).size(), 2) << "one of the same second replaces none";

    Settings.TRG = {destination("True", "a@example.net"), destination("True", "b@example.net", 1),
                    destination("True", "c@example.net"), destination("True", "d@example.net")};
    // A file where the snapshot folder should be: the writer cannot open its file.
    ASSERT_TRUE(QDir(home.filePath("img")).removeRecursively());
    writeFileBytes(home.filePath("img"), {});
    EXPECT_EQ(run(), QStringList({kSending, kHandingOver, "", kSending}));
    EXPECT_EQ(recipients(), QStringList({"b@example.net", "d@example.net", "a@example.net"}));
    EXPECT_TRUE(logText().contains("not written (1)"));

    // Without a mail that writes it, the alarm's picture is kept all the same: 640x480 at JPEG quality 75.
    ASSERT_TRUE(QFile::remove(home.filePath("img")));
    Settings.MAIL.MAIL.clear();  // no mail goes
    QImage frame(320, 240, QImage::Format_RGB32);
    frame.fill(Qt::green);
    sKeepAlarmSnapshot(frame, [](const WatchEvent&) {});
    const QStringList kept = QDir(home.filePath("img")).entryList({"*_ALERT.jpg"});
    ASSERT_EQ(kept.size(), 1);
    const QByteArray jpeg = readFileBytes(home.filePath("img/" + kept[0]));
    EXPECT_EQ(QImage::fromData(jpeg).size(), QSize(640, 480));
    EXPECT_EQ(firstQuantValue(jpeg), 8) << "the first value of the quality 75 table";
}
