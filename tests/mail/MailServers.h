#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// A server script of tests/mail/servers run with Debian's Python; it prints
// its port and stops by itself, and is killed when the test ends.
class ServerProcess {
public:
    ServerProcess(const QString& script, const QStringList& arguments);
    ~ServerProcess();
    int port() const { return port_; }

private:
    QProcess process_;
    int port_ = 0;
};

// The JSON lines a server recorded, optionally only those of one event.
QList<QJsonObject> readRecords(const QString& path, const QString& event = {});

// A self-signed certificate for 127.0.0.1 made with the openssl command.
struct TestCertificate {
    QString certificate;
    QString key;
};
TestCertificate makeCertificate(const QString& folder);

// A port on 127.0.0.1 where nothing listens.
int closedPort();
