// The texts handed to the mail library, header encoding, the account check, and
// the mail log's masks of the commands that carry credentials.
#include "mail/MailAccount.h"
#include "mail/MailConnection.h"
#include "mail/MailFields.h"
#include "mail/MailLog.h"
#include "mail/MimeHeaders.h"
#include "settings/Settings.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

// The account survives the library's fields; server fields become URLs or are refused.
TEST(MailFields, LibraryFieldsAndServerUrls)
{
    for (const QString password : {"plain", "with:colon", "with\ttab", ""}) {
        for (const bool cram : {false, true}) {
            const SenderParts parts = parseSenderField(senderFieldWithAuth("me@example.org", "acct", password, cram));
            EXPECT_EQ(QStringList({parts.sender, parts.account, parts.password, parts.mechanism}),
                      QStringList({"me@example.org", "acct", password, cram ? "CRAM-MD5" : "LOGIN"}));
        }
    }
    EXPECT_TRUE(parseSenderField(senderField("me@example.org")).mechanism.isEmpty());

    const std::pair<QString, QString> cases[] = {  // field, URL ("" when refused)
        {"mail.example.org\t587", "smtp://mail.example.org:587/"}, {"mail.example.org", "smtp://mail.example.org:25/"},
        {"mail.example.org\t", "smtp://mail.example.org:25/"},    {" mail.example.org \t 465 ", "smtps://mail.example.org:465/"},
        {"::1\t2525", "smtp://[::1]:2525/"},                       {"\t25", ""},
        {"mail.example.org\tsmtp", ""},                            {"mail.example.org\t70000", ""},
    };
    for (const auto& [field, url] : cases) {
        const std::optional<ServerAddress> address = parseServerField(field, 25);
        EXPECT_EQ(address ? mailServerUrl("smtp", "smtps", 465, address->host, address->port) : QString(), url)
            << field.toStdString();
    }
}

TEST(MailFields, SubjectBecomesShortEncodedWordsOfWholeCharacters)
{
    EXPECT_EQ(encodedHeaderText("Alarm at the door"), "Alarm at the door");
    EXPECT_TRUE(encodedHeaderText("=?x?=").startsWith("=?UTF-8?B?"));
    const QString subject = QString("警報😀").repeated(20) + " tail";
    QByteArray decoded;
    static const QRegularExpression word("^=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]+)\\?=$");
    for (const QByteArray& line : encodedHeaderText(subject).split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        EXPECT_LE(text.size(), 75);
        const QRegularExpressionMatch match = word.match(text);
        ASSERT_TRUE(match.hasMatch()) << text.toStdString();
        const QByteArray piece = QByteArray::fromBase64(match.captured(1).toLatin1());
        EXPECT_FALSE(QString::fromUtf8(piece).contains(QChar::ReplacementCharacter));
        decoded += piece;
    }
    EXPECT_EQ(QString::fromUtf8(decoded), subject);
}

TEST(MailAccount, ReadyOnlyWhenTheStoredAccountIsComplete)
{
    testApplication();
    useTestLanguage("ja");
    struct Case {
        const char* what;
        QString mail, smtp, att, optatt, pop, user, pass, smtpUser, smtpPass, gap;  // gap "" when complete
    };
    const QString noUser = "ﾒｰﾙｱｶｳﾝﾄ設定のﾕｰｻﾞｰ名を入力して下さい。";
    const QString noPass = "ﾒｰﾙｱｶｳﾝﾄ設定のﾊﾟｽﾜｰﾄﾞを入力して下さい。";
    const Case cases[] = {
        {"no authentication, nothing else", "m@x", "smtp\t25", "0", "", "", "", "", "", "", ""},
        {"blank address", "  ", "smtp\t25", "0", "", "", "", "", "", "", "ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。"},
        {"no server", "m@x", "", "0", "", "", "", "", "", "", "ﾒｰﾙｱｶｳﾝﾄ設定のSMTPｻｰﾊﾞｰ名を入力して下さい。"},
        {"ATT not exactly 1", "m@x", "smtp\t25", "1 ", "0", "", "", "", "", "", ""},
        {"POP without server", "m@x", "smtp\t25", "1", "0", "", "u", "p", "", "", "ﾒｰﾙｱｶｳﾝﾄ設定のPOPｻｰﾊﾞｰ名を入力して下さい。"},
        {"POP without user", "m@x", "smtp\t25", "1", "0", "pop\t110", " ", "p", "su", "sp", noUser},
        {"POP without password", "m@x", "smtp\t25", "1", "0", "pop\t110", "u", "", "su", "sp", noPass},
        {"POP complete", "m@x", "smtp\t25", "1", "0", "pop\t110", "u", "p", "", "", ""},
        {"AUTH without user", "m@x", "smtp\t25", "1", "1", "", "u", "p", "", "sp", noUser},
        {"AUTH without password", "m@x", "smtp\t25", "1", "1", "", "u", "p", "su", "", noPass},
        {"unknown method counts as AUTH", "m@x", "smtp\t25", "1", "", "", "", "", "su", "sp", ""},
    };
    for (const Case& c : cases) {
        Settings = SettingsRecord{};
        Settings.MAIL = {c.mail, c.smtp, c.pop, c.user, c.pass, c.att, c.optatt, "0", c.smtpUser, c.smtpPass};
        EXPECT_EQ(mailAccountGap(), c.gap) << c.what;
        EXPECT_EQ(MailReady(), c.gap.isEmpty()) << c.what;
    }
}

namespace {

// What the client says is logged without the password wherever it stands: the
// argument of PASS, APOP and AUTH (in any case), and the one line answering a
// 334 or "+" challenge; the rest is logged whole, each line of a text on its own.
TEST(MailLog, PasswordsAreMaskedWhereTheyStand)
{
    TempAppFolder home;
    const QString path = home.filePath(QStringLiteral("mail.log.txt"));
    MailExchangeLog log(path, QStringLiteral("POP3"), QStringLiteral("127.0.0.1"));
    log.encrypted();
    const char* const exchange[][2] = {
        {"+OK ready", "user watcher"}, {nullptr, "pass p"}, {nullptr, "PASS"}, {nullptr, "APOP watcher 0a1b"},
        {nullptr, "auth plain AHdhdGNoZXIAcA=="}, {nullptr, "AUTH LOGIN"}, {"334 VXNlcm5hbWU6", "d2F0Y2hlcg=="},
        {nullptr, "NOOP\r\npass two words"}, {"334", "cA=="}, {"+ ", "cA=="}, {"+", "cA=="}, {"+OK 2 320", "STAT"}, {"3341 odd", "RSET"},
    };
    for (const auto& [server, client] : exchange) {
        if (server)
            log.serverSaid(QString::fromLatin1(server));
        log.clientSaid(QString::fromLatin1(client));
    }
    ASSERT_TRUE(log.finish(QStringLiteral("logged in")));
    const QByteArray written = readFileBytes(path);
    EXPECT_EQ(written.mid(written.indexOf('\n') + 1),
              "< +OK ready\n> user watcher\n> pass ****\n> PASS\n> APOP watcher ****\n> auth plain ****\n"
              "> AUTH LOGIN\n< 334 VXNlcm5hbWU6\n> ****\n> NOOP\n> pass ****\n< 334\n> ****\n< + \n> ****\n< +\n> ****\n"
              "< +OK 2 320\n> STAT\n< 3341 odd\n> RSET\n= logged in\n");

    // Unencrypted, what hands over the password itself is warned of once; a digest is not.
    MailExchangeLog clear(path, QStringLiteral("SMTP"), QStringLiteral("127.0.0.1"));
    for (const char* line : {"AUTH CRAM-MD5", "APOP watcher 0a1b", "AUTH PLAIN AHdhdGNoZXIAcA==", "PASS p"})
        clear.clientSaid(QString::fromLatin1(line));
    ASSERT_TRUE(clear.finish(QStringLiteral("sent")));
    EXPECT_TRUE(readFileBytes(path).endsWith("> APOP watcher ****\n* warning: the password goes unencrypted: the server "
                                             "offers no STARTTLS\n> AUTH PLAIN ****\n> PASS ****\n= sent\n"));
}

}  // namespace
