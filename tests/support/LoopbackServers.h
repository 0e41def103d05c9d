#pragma once

// Real servers on 127.0.0.1 for tests, run from tests/support/servers with
// Debian's /usr/bin/python3 (aiosmtpd, Twisted, pyftpdlib). Each prints its
// port, stops by itself after its lifetime and is killed with its object.
//
//   SMTP: ServerProcess smtp("smtp_server.py", {"--record", file});
//         AUTH LOGIN and CRAM-MD5 as kSmtpUser/kSmtpPassword; add
//         {"--cert", c.certificate, "--key", c.key} from makeCertificate()
//         for STARTTLS. Writes JSON lines to `file`: "ehlo", "auth" and
//         "message" (mail_from, rcpt_tos, reply_to, subject decoded, body,
//         attachments [{filename, type, data in Base64}]). A server that
//         hangs at one step: {"--stall", "data"} never answers the end of a
//         message (recorded first), {"--stall", "quit"} never answers QUIT.
//         A slow one: {"--delay", "2"} answers the end of a message 2 s late.
//         {"--refuse", address} answers RCPT TO that address with a 550.
//   POP3: ServerProcess pop("pop3_server.py", {"--record", file});
//         kPopUser/kPopPassword, APOP unless "--no-apop"; records "pop-login";
//         "--silent-quit" never answers QUIT.
//   Hanging mail or FTP server: ServerProcess("silent_server.py", {"--lifetime", "20"}).
//   FTP:  FtpTestServer ftp; as FtpTestServer::kUser/kPassword (or the password
//         given), root() is "/";
//         files are kept as sent, transferType() tells binary from ASCII.
//         FtpTestServer(kPassword, {"--stall", "quit"}) never answers QUIT.
// Every record carries "time" (seconds since the epoch) for ordering.

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

inline const QString kSmtpUser = QStringLiteral("watcher");
inline const QString kSmtpPassword = QStringLiteral("s3cret-pw");
inline const QString kPopUser = QStringLiteral("watcher");
inline const QString kPopPassword = QStringLiteral("pop-pass-1");

// One server script; port() is 0 (and the test has failed) when it did not start.
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

// A self-signed certificate for `host` (an IP address or a DNS name) made in
// `folder` with openssl.
struct TestCertificate {
    QString certificate;
    QString key;
};
TestCertificate makeCertificate(const QString& folder, const QString& host = QStringLiteral("127.0.0.1"));

// A pyftpdlib server serving a fresh folder that holds a subfolder "sub".
class FtpTestServer {
public:
    static inline const QString kUser = QStringLiteral("hound");
    static inline const QString kPassword = QStringLiteral("bark twice");

    explicit FtpTestServer(const QString& password = kPassword, const QStringList& options = {});
    bool running() const { return server_.port() > 0; }
    int port() const { return server_.port(); }
    QString root() const { return root_.path(); }
    // The bytes of a file on the server as they came, "<missing>" when there is none.
    QByteArray fileContent(const QString& remotePath) const;
    // The transfer type of the last upload to the path: "i" binary, "a" ASCII, "" none.
    QString transferType(const QString& remotePath) const;

private:
    QTemporaryDir root_;
    QTemporaryDir records_;
    ServerProcess server_;
};

// A loopback port on which nothing listens.
int closedLoopbackPort();

// Bytes that differ from run to run and exercise binary transfer (CR, LF, NUL).
QByteArray sampleBytes(int size);
