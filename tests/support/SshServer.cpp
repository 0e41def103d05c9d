#include "tests/support/SshServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool makeKey(const QString& path)
{
    QProcess keygen;
    keygen.start(QStringLiteral("ssh-keygen"), {"-q", "-t", "ed25519", "-N", "", "-f", path});
    return keygen.waitForFinished(30000) && keygen.exitCode() == 0;
}

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port free now: the kernel's pick for a socket bound and let go.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

bool answers(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

}  // namespace

QByteArray publicKeyLine(const QString& publicKeyFile)
{
    QFile file(publicKeyFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> words = file.readAll().trimmed().split(' ');
    return words.size() >= 2 ? words[0] + ' ' + words[1] : QByteArray();
}

SshTestServer::SshTestServer(const QString& home)
{
    const QString ssh = home + QStringLiteral("/.ssh");
    const QString hostKey = dir_.filePath(QStringLiteral("host_ed25519"));
    if (!QDir().mkpath(ssh) || !makeKey(ssh + QStringLiteral("/id_ed25519")) || !makeKey(hostKey) ||
        !makeKey(dir_.filePath(QStringLiteral("other_ed25519")))) {
        ADD_FAILURE() << "ssh-keygen failed";
        return;
    }
    QFile::copy(ssh + QStringLiteral("/id_ed25519.pub"), dir_.filePath(QStringLiteral("authorized_keys")));
    const int port = freePort();
    const QString config = dir_.filePath(QStringLiteral("sshd_config"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write " << config.toStdString();
        return;
    }
    file.write(QStringLiteral("ListenAddress 127.0.0.1:%1\nHostKey %2\nPidFile none\nUsePAM no\n"
                              "PasswordAuthentication no\nKbdInteractiveAuthentication no\nPubkeyAuthentication yes\n"
                              "AuthorizedKeysFile %3\nStrictModes no\nPermitRootLogin prohibit-password\n"
                              "Subsystem sftp internal-sftp\nLogLevel ERROR\n")
                   .arg(port)
                   .arg(hostKey, dir_.filePath(QStringLiteral("authorized_keys")))
                   .toUtf8());
    file.close();
    // Run as root, sshd wants its privilege separation folder.
    if (::geteuid() == 0)
        QDir().mkpath(QStringLiteral("/run/sshd"));
    sshd_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sshd_.start(QStringLiteral("timeout"), {"90", "/usr/sbin/sshd", "-D", "-e", "-f", config});
    for (int tries = 0; tries < 200 && sshd_.state() != QProcess::NotRunning; ++tries) {
        if (answers(port)) {
            port_ = port;
            return;
        }
        QThread::msleep(50);
    }
    ADD_FAILURE() << "sshd did not start on port " << port;
}

SshTestServer::~SshTestServer()
{
    // timeout passes a TERM on to sshd; a KILL would end timeout alone.
    sshd_.terminate();
    sshd_.waitForFinished();
}

QString SshTestServer::hostKeyFingerprint() const
{
    QProcess keygen;
    keygen.start(QStringLiteral("ssh-keygen"), {"-l", "-E", "sha256", "-f", dir_.filePath(QStringLiteral("host_ed25519.pub"))});
    keygen.waitForFinished(30000);
    return QString::fromLatin1(keygen.readAllStandardOutput()).section(QLatin1Char(' '), 1, 1);
}

QString SshTestServer::otherHostKey() const
{
    return QString::fromLatin1(publicKeyLine(dir_.filePath(QStringLiteral("other_ed25519.pub"))));
}
