// The mail log's two masks, each on its own: the commands that carry
// credentials, and the stored secrets wherever else they show up.
#include "mail/MailLog.h"
#include "tests/support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace {

const QString kPassword = QStringLiteral("s3cret-pw");
QString base64(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

class MailLogTest : public ::testing::Test {
protected:
    QString logPath() const { return home_.filePath(QStringLiteral("mail.log.txt")); }
    QString written() const { return QString::fromUtf8(readFileBytes(logPath())); }

private:
    TempAppFolder home_;
};

// No secrets are known: only the command masks stand between the payloads and the file.
TEST_F(MailLogTest, CredentialCommandsAreMaskedWithoutKnowingTheSecrets)
{
    MailExchangeLog log(logPath(), QStringLiteral("SMTP"), QStringLiteral("127.0.0.1"), {});
    log.clientSaid(QStringLiteral("AUTH PLAIN ") + base64(QStringLiteral("\0watcher\0") + kPassword));
    log.serverSaid(QStringLiteral("334 UGFzc3dvcmQ6"));
    log.clientSaid(base64(kPassword));
    log.clientSaid(QStringLiteral("PASS ") + kPassword);
    log.clientSaid(QStringLiteral("MAIL FROM:<a@b>"));
    ASSERT_TRUE(log.finish(QStringLiteral("sent")));
    const QString text = written();
    EXPECT_FALSE(text.contains(kPassword)) << text.toStdString();
    EXPECT_FALSE(text.contains(base64(kPassword))) << text.toStdString();
    for (const char* line : {"> AUTH PLAIN ****\n", "\n> ****\n", "> PASS ****\n", "> MAIL FROM:<a@b>\n"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(line))) << line;
}

// Lines no command mask touches: a server echo, a note, a result.
TEST_F(MailLogTest, KnownSecretsAreMaskedWhereverElseTheyAppear)
{
    MailExchangeLog log(logPath(), QStringLiteral("POP3"), QStringLiteral("127.0.0.1"), {kPassword, QStringLiteral("pw")});
    log.serverSaid(QStringLiteral("-ERR wrong password ") + kPassword);
    log.note(QStringLiteral("retrying with ") + base64(kPassword));
    log.clientSaid(QStringLiteral("NOOP ") + kPassword);
    ASSERT_TRUE(log.finish(QStringLiteral("failed: ") + kPassword));
    const QString text = written();
    EXPECT_FALSE(text.contains(kPassword)) << text.toStdString();
    EXPECT_FALSE(text.contains(base64(kPassword))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("****")), 4) << text.toStdString();
    // A secret too short to mask safely leaves ordinary words alone.
    EXPECT_TRUE(text.contains(QStringLiteral("wrong password"))) << text.toStdString();
}

}  // namespace
