#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The web view's TLS certificate and key, PEM, and the certificate's SHA-256
// fingerprint ("AB:CD:...") for the user to compare with the browser's.
struct WebCertificate {
    QByteArray certificatePem;
    QByteArray keyPem;
    QString fingerprint;
};

// The certificate and key files the user named (WEBCERT, WEBKEY); nothing,
// and `why`, when they cannot be read or do not belong together.
std::optional<WebCertificate> loadWebCertificate(const QString& certificatePath, const QString& keyPath, QString& why);

// web-cert.pem and web-key.pem in `folder`, both 0600; made when missing as a
// self-signed certificate for this machine's name and, unless it listens on
// every address, for `address`. `made` tells whether they were made now.
std::optional<WebCertificate> ownWebCertificate(const QString& folder, const QString& address, bool& made,
                                                QString& why);
