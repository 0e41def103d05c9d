#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// OpenSSH's sshd on 127.0.0.1 for the SFTP tests, with a configuration and
// host key of its own, admitting the user the test runs as with the key it
// makes in `home`/.ssh (so a client with HOME=`home` logs in). It stops by
// itself after 90 s, or with its object.
class SshTestServer {
public:
    explicit SshTestServer(const QString& home);
    ~SshTestServer();
    bool running() const { return port_ > 0; }
    int port() const { return port_; }
    // The server's host key as ssh-keygen tells it: "SHA256:...".
    QString hostKeyFingerprint() const;
    // The public line of another host key: one the server does not have.
    QString otherHostKey() const;

private:
    QTemporaryDir dir_;
    QProcess sshd_;
    int port_ = 0;
};

// The type and key of a public key file written by ssh-keygen, without its comment.
QByteArray publicKeyLine(const QString& publicKeyFile);
