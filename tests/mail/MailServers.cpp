#include "MailServers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

ServerProcess::ServerProcess(const QString& script, const QStringList& arguments)
{
    const QString path = qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/tests/mail/servers/" + script;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("/usr/bin/python3", QStringList{path} + arguments);
    if (!process_.waitForStarted(10000)) {
        ADD_FAILURE() << "cannot start " << path.toStdString();
        return;
    }
    while (!process_.canReadLine() && process_.waitForReadyRead(15000)) {
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
        if (event.isEmpty() || record.value("event").toString() == event)
            records << record;
    }
    return records;
}

TestCertificate makeCertificate(const QString& folder)
{
    TestCertificate made{folder + "/server.crt", folder + "/server.key"};
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                              "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost",
                              "-keyout", made.key, "-out", made.certificate});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        ADD_FAILURE() << "openssl failed: " << openssl.readAllStandardError().toStdString();
    return made;
}

int closedPort()
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);  // nothing listens there any more
    return ntohs(address.sin_port);
}
