#include "tests/support/LoopbackServers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Python with Twisted can take seconds to start on a busy machine.
constexpr int kStartWaitMs = 30000;
}  // namespace

ServerProcess::ServerProcess(const QString& script, const QStringList& arguments)
{
    const QString path = QStringLiteral(HOUNDLY_TEST_SERVERS_DIR "/") + script;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"), QStringList{path} + arguments);
    if (!process_.waitForStarted(kStartWaitMs)) {
        ADD_FAILURE() << "cannot start " << path.toStdString();
        return;
    }
    while (!process_.canReadLine() && process_.waitForReadyRead(kStartWaitMs)) {
    }
    port_ = process_.readLine().trimmed().toInt();
    if (port_ == 0)
        ADD_FAILURE() << script.toStdString() << " printed no port";
}

ServerProcess::~ServerProcess()
{
    process_.kill();
    process_.waitForFinished(5000);
}

QList<QJsonObject> readRecords(const QString& path, const QString& event)
{
    QList<QJsonObject> records;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return records;
    while (!file.atEnd()) {
        const QJsonObject record = QJsonDocument::fromJson(file.readLine()).object();
        if (event.isEmpty() || record.value(QStringLiteral("event")).toString() == event)
            records << record;
    }
    return records;
}

TestCertificate makeCertificate(const QString& folder, const QString& host)
{
    const QString stem = folder + QLatin1Char('/') + QString(host).remove(QLatin1Char('.'));
    TestCertificate made{stem + QStringLiteral(".crt"), stem + QStringLiteral(".key")};
    const bool address = QRegularExpression(QStringLiteral("^[0-9.]+$")).match(host).hasMatch();
    const QString names = address ? QStringLiteral("IP:%1,DNS:localhost").arg(host) : QStringLiteral("DNS:") + host;
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=" + host, "-addext",
                   "subjectAltName=" + names, "-keyout", made.key, "-out", made.certificate});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        ADD_FAILURE() << "openssl failed: " << openssl.readAllStandardError().toStdString();
    return made;
}

FtpTestServer::FtpTestServer(const QString& password, const QStringList& options)
    : server_(QStringLiteral("ftp_server.py"),
              QStringList{root_.path(), kUser, password, QStringLiteral("90"), QStringLiteral("--record"),
                          records_.filePath("ftp.json")} + options)
{
}

QString FtpTestServer::transferType(const QString& remotePath) const
{
    QString type;
    for (const QJsonObject& upload : readRecords(records_.filePath("ftp.json"), QStringLiteral("stor")))
        if (upload.value(QStringLiteral("path")).toString() == remotePath)
            type = upload.value(QStringLiteral("type")).toString();
    return type;
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
