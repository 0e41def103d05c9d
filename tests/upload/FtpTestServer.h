#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real FTP server (pyftpdlib) on 127.0.0.1 serving a fresh folder with a
// subfolder "sub"; it stops with this object or, at the latest, by itself.
class FtpTestServer {
public:
    static inline const QString kUser = QStringLiteral("hound");
    static inline const QString kPassword = QStringLiteral("bark twice");

    FtpTestServer();
    ~FtpTestServer();

    bool running() const { return port_ > 0; }
    int port() const { return port_; }
    // The folder the server shows as "/".
    QString root() const { return root_.path(); }
    QByteArray fileContent(const QString& remotePath) const;

private:
    QTemporaryDir root_;
    QProcess server_;
    int port_ = 0;
};

// A loopback port on which nothing listens.
int closedLoopbackPort();

// Bytes that differ from run to run and exercise binary transfer (CR, LF, NUL).
QByteArray sampleBytes(int size);
