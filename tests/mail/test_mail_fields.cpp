// The texts handed to the mail library, header encoding, log masking and the account check.
#include "mail/MailAccount.h"
#include "mail/MailConnection.h"
#include "mail/MailFields.h"
#include "mail/MailLog.h"
#include "mail/MimeHeaders.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

TEST(MailFields, SenderFieldCarriesTheAccountThroughToTheLibrary)
{
    EXPECT_EQ(recipientField("me@example.org", "me@example.org"), "me@example.org\t>Reply-To: me@example.org");
    EXPECT_EQ(senderField("me@example.org"), "<me@example.org>");
    EXPECT_EQ(senderFieldWithAuth("me@example.org", "acct", "pw", false), "<me@example.org>\tacct:pw\tLOGIN");

    struct Case {
        QString password;
        bool cram;
    };
    for (const Case& c : {Case{"plain", true}, Case{"with:colon", false}, Case{"with\ttab", true}, Case{"", false}}) {
        const SenderParts parts = parseSenderField(senderFieldWithAuth("me@example.org", "acct", c.password, c.cram));
        EXPECT_EQ(parts.sender, "me@example.org");
        EXPECT_EQ(parts.account, "acct");
        EXPECT_EQ(parts.password, c.password);
        EXPECT_EQ(parts.mechanism, c.cram ? "CRAM-MD5" : "LOGIN");
    }
    EXPECT_TRUE(parseSenderField(senderField("me@example.org")).mechanism.isEmpty());
    const RecipientParts to = parseRecipientField(recipientField("you@example.net", "me@example.org"));
    EXPECT_EQ(to.recipient, "you@example.net");
    EXPECT_EQ(to.extraHeaders, QStringList{"Reply-To: me@example.org"});
}

TEST(MailFields, ServerFieldsAndUrls)
{
    struct Case {
        QString field;
        bool valid;
        QString host;
        int port;
        QString url;
    };
    const Case cases[] = {
        {"mail.example.org\t587", true, "mail.example.org", 587, "smtp://mail.example.org:587/"},
        {"mail.example.org", true, "mail.example.org", 25, "smtp://mail.example.org:25/"},
        {"mail.example.org\t", true, "mail.example.org", 25, "smtp://mail.example.org:25/"},
        {" mail.example.org \t 465 ", true, "mail.example.org", 465, "smtps://mail.example.org:465/"},
        {"::1\t2525", true, "::1", 2525, "smtp://[::1]:2525/"},
        {"\t25", false, "", 0, ""},
        {"mail.example.org\tsmtp", false, "", 0, ""},
        {"mail.example.org\t70000", false, "", 0, ""},
    };
    for (const Case& c : cases) {
        const std::optional<ServerAddress> address = parseServerField(c.field, 25);
        ASSERT_EQ(address.has_value(), c.valid) << c.field.toStdString();
        if (!address)
            continue;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(mailServerUrl("smtp", "smtps", 465, address->host, address->port), c.url);
    }
}

TEST(MailFields, ControlCharactersAndNumbers)
{
    for (const QString& bad : QStringList{"a\r\nb", "a\nb", "a\rb", "a\tb", QString("a") + QChar(0x2028) + "b"})
        EXPECT_TRUE(hasControlCharacters(bad)) << bad.toStdString();
    EXPECT_FALSE(hasControlCharacters("宛先 user@example.org"));

    EXPECT_EQ(settingNumber("1"), 1);
    EXPECT_EQ(settingNumber(" 0 "), 0);
    EXPECT_EQ(settingNumber("1.0"), 1);
    for (const QString& text : QStringList{"", "x", "1x", "True"})
        EXPECT_FALSE(settingNumber(text).has_value()) << text.toStdString();
}

TEST(MailFields, SubjectBecomesShortEncodedWordsOfWholeCharacters)
{
    EXPECT_EQ(encodedHeaderText("Alarm at the door"), "Alarm at the door");
    const QString subject = QString("警報😀").repeated(20) + " tail";
    const QByteArray encoded = encodedHeaderText(subject);
    QByteArray decoded;
    static const QRegularExpression word("^=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]+)\\?=$");
    for (const QByteArray& line : encoded.split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        EXPECT_LE(text.size(), 75);
        const QRegularExpressionMatch match = word.match(text);
        ASSERT_TRUE(match.hasMatch()) << text.toStdString();
        const QByteArray piece = QByteArray::fromBase64(match.captured(1).toLatin1());
        EXPECT_FALSE(QString::fromUtf8(piece).contains(QChar::ReplacementCharacter));
        decoded += piece;
    }
    EXPECT_EQ(QString::fromUtf8(decoded), subject);
    EXPECT_TRUE(encodedHeaderText("=?x?=").startsWith("=?UTF-8?B?"));
}

TEST(MailLog, MasksCredentials)
{
    struct Case {
        QString line;
        bool afterChallenge;
        QString logged;
    };
    const Case cases[] = {
        {"AUTH LOGIN dXNlcg==", false, "AUTH LOGIN ****"},
        {"AUTH CRAM-MD5", false, "AUTH CRAM-MD5"},
        {"dXNlciBkaWdlc3Q=", true, "****"},
        {"PASS hunter22", false, "PASS ****"},
        {"APOP watcher 0123abcd", false, "APOP watcher ****"},
        {"MAIL FROM:<me@example.org>", false, "MAIL FROM:<me@example.org>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MailExchangeLog::maskedCommand(c.line, c.afterChallenge), c.logged) << c.line.toStdString();
}

TEST(MailAccount, ReadyOnlyWhenTheStoredAccountIsComplete)
{
    struct Case {
        const char* what;
        QString mail, smtp, att, optatt, pop, user, pass, smtpUser, smtpPass;
        QString gap;  // "" when complete
    };
    const QString noAddress = "ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。";
    const QString noSmtp = "ﾒｰﾙｱｶｳﾝﾄ設定のSMTPｻｰﾊﾞｰ名を入力して下さい。";
    const QString noPop = "ﾒｰﾙｱｶｳﾝﾄ設定のPOPｻｰﾊﾞｰ名を入力して下さい。";
    const QString noUser = "ﾒｰﾙｱｶｳﾝﾄ設定のﾕｰｻﾞｰ名を入力して下さい。";
    const QString noPass = "ﾒｰﾙｱｶｳﾝﾄ設定のﾊﾟｽﾜｰﾄﾞを入力して下さい。";
    const Case cases[] = {
        {"no authentication, nothing else", "m@x", "smtp\t25", "0", "", "", "", "", "", "", ""},
        {"blank address", "  ", "smtp\t25", "0", "", "", "", "", "", "", noAddress},
        {"no server", "m@x", "", "0", "", "", "", "", "", "", noSmtp},
        {"ATT not exactly 1", "m@x", "smtp\t25", "1 ", "0", "", "", "", "", "", ""},
        {"POP without server", "m@x", "smtp\t25", "1", "0", "", "u", "p", "", "", noPop},
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
        Settings.COM.MailReady = !c.gap.isEmpty();
        sCheckMailReady();
        EXPECT_EQ(Settings.COM.MailReady, c.gap.isEmpty()) << c.what;
    }
}
