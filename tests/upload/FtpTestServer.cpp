#include "tests/upload/FtpTestServer.h"

#include <QFile>
#include <QRandomGenerator>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kServerLifetimeSeconds = 50;
}

FtpTestServer::FtpTestServer()
{
    const QString script = QStringLiteral(HOUNDLY_FTP_SERVER_SCRIPT);
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start(QStringLiteral("/usr/bin/python3"),
                  {script, root_.path(), kUser, kPassword, QString::number(kServerLifetimeSeconds)});
    if (!server_.waitForStarted() || !server_.waitForReadyRead(15000))
        return;
    port_ = server_.readLine().trimmed().toInt();
}

FtpTestServer::~FtpTestServer()
{
    server_.kill();
    server_.waitForFinished();
}

QByteArray FtpTestServer::fileContent(const QString& remotePath) const
{
    QFile file(root_.path() + QLatin1Char('/') + remotePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

int closedLoopbackPort()
{
    // Bind a free port, then close it again: nothing listens there afterwards.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

QByteArray sampleBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes.append("\r\n\n\r\0", 5);
}
