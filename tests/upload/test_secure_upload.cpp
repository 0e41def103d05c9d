// Encrypted uploads end to end: the upload queue, houndly-ftp with its mode
// option, and a real TLS FTP server with a private authority or OpenSSH's sshd.
#include "tests/support/LoopbackServers.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SshServer.h"
#include "tests/support/StandardError.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "upload/FtpScriptRunner.h"
#include "upload/UploadQueue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace {

class SecureUploadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        FtpClientTimeLimitMs = 60000;
        clip = writeFileBytes(work.filePath("clip.AVI"), sampleBytes(200000));
    }
    void TearDown() override { qunsetenv("HOUNDLY_CA_FILE"); }
    // Uploads the clip as Houndly does; "" when it went up, else the reason.
    QString upload(const QString& mode, int port, const QString& folder, const QString& user, const QString& password)
    {
        UploadQueue queue;
        std::optional<QString> reason;
        QObject::connect(&queue, &UploadQueue::uploaded,
                         [&reason](const ClipUpload&, bool ok, const QString& why) { reason = ok ? QString() : why; });
        queue.add({clip, "a.AVI", "", folder, {work.path(), QString("127.0.0.1 %1").arg(port), user, password, mode}});
        EXPECT_TRUE(QTest::qWaitFor([&reason] { return reason.has_value(); }, 60000));
        return reason.value_or("(no end)");
    }

    QCoreApplication& application = testApplication();  // the queue runs on its event loop
    TempAppFolder work;
    QString clip;
};

// FTPS speaks TLS before the log-in, to a server whose authority is trusted
// only when named; a server without TLS is refused rather than sent to in clear.
TEST_F(SecureUploadTest, FtpsGoesOnlyToAServerItsAuthorityVouchesFor)
{
    const TestCertificate authority = makeCertificate(work.path());
    FtpTestServer tls(FtpTestServer::kPassword, {"--cert", authority.certificate, "--key", authority.key});
    FtpTestServer plain;
    ASSERT_TRUE(tls.running() && plain.running());
    const struct {
        const char* what;
        const FtpTestServer& server;
        const char* caFile;
        QString reason;  // a part of it
    } rows[] = {
        {"trusted", tls, "ca", ""},
        {"untrusted", tls, nullptr, "refused: the server's certificate is not trusted (SSL certificate problem"},
        {"no TLS", plain, "ca", "refused: the server offers no TLS"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.caFile != nullptr)
            qputenv("HOUNDLY_CA_FILE", authority.certificate.toUtf8());
        else
            qunsetenv("HOUNDLY_CA_FILE");
        const QString reason = upload("FTPS", row.server.port(), "sub", FtpTestServer::kUser, FtpTestServer::kPassword);
        EXPECT_TRUE(row.reason.isEmpty() ? reason.isEmpty() : reason.contains(row.reason)) << reason.toStdString();
        EXPECT_EQ(row.server.fileContent("sub/a.AVI") == readFileBytes(clip), row.reason.isEmpty());
        QFile::remove(row.server.root() + "/sub/a.AVI");
    }
}

// SFTP logs in with the user's key; the server's host key is remembered in
// ~/.ssh/known_hosts at the first upload with its fingerprint told, accepted
// after, and refused once it is another.
TEST_F(SecureUploadTest, SftpRemembersTheHostKeyAndRefusesAnother)
{
    const QByteArray home = qgetenv("HOME");
    const auto restore = qScopeGuard([&] { qputenv("HOME", home); });
    qputenv("HOME", work.path().toUtf8());
    SshTestServer sshd(work.path());
    ASSERT_TRUE(sshd.running());
    const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);  // whom this sshd admits
    const QString folder = work.filePath("server/clips");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString knownHosts = work.filePath(".ssh/known_hosts");
    const QString entry = QString("[127.0.0.1]:%1 ").arg(sshd.port());

    const QString fingerprint = sshd.hostKeyFingerprint();
    ASSERT_TRUE(fingerprint.startsWith("SHA256:"));
    QString firstReason = "(not run)";
    const QByteArray told = standardErrorOf([&] { firstReason = upload("SFTP", sshd.port(), folder, user, {}); });
    EXPECT_EQ(firstReason, QString());
    EXPECT_TRUE(told.contains(QString("remembered the host key of %1in %2: %3\n").arg(entry, knownHosts, fingerprint).toUtf8()))
        << told.constData();
    EXPECT_EQ(readFileBytes(folder + "/a.AVI"), readFileBytes(clip));
    const QString remembered = QString::fromUtf8(readFileBytes(knownHosts));
    EXPECT_TRUE(remembered.startsWith(entry + "ssh-ed25519 ")) << remembered.toStdString();
    QFile::remove(folder + "/a.AVI");
    EXPECT_EQ(upload("SFTP", sshd.port(), folder, user, {}), QString());
    EXPECT_EQ(readFileBytes(knownHosts), remembered.toUtf8()) << "known once, not again";

    writeFileBytes(knownHosts, (entry + sshd.otherHostKey() + "\n").toUtf8());
    QFile::remove(folder + "/a.AVI");
    const QString reason = upload("SFTP", sshd.port(), folder, user, {});
    EXPECT_TRUE(reason.contains(QString("refused: the host key of [127.0.0.1]:%1 has changed (now %2)").arg(sshd.port()).arg(fingerprint)))
        << reason.toStdString();
    EXPECT_FALSE(QFile::exists(folder + "/a.AVI"));
}

}  // namespace
