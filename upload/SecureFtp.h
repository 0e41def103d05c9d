#pragma once

#include "upload/FtpScript.h"

#include <QByteArray>
#include <QString>

#include <curl/curl.h>

// What an SFTP session learns of the server's host key.
struct HostKeyCheck {
    enum class Verdict { Unseen, Known, Remembered, Changed, NotRemembered };
    QString host;         // as known_hosts names it: "host" or "[host]:port"
    QString knownHosts;   // the file
    QString fingerprint;  // "SHA256:..." of the key the server showed
    Verdict verdict = Verdict::Unseen;
};

// Sets the session's protocol and its checks of the server: FTPS asks for TLS
// (AUTH TLS) before the log-in and verifies the certificate against the
// system's authorities or HOUNDLY_CA_FILE; SFTP checks the host key against
// ~/.ssh/known_hosts, remembering an unknown one there, and logs in with the
// password when one is given, else with the user's own key. Returns the URL's
// scheme ("ftp://" or "sftp://"). `check` must outlive the session.
QByteArray prepareSession(CURL* handle, FtpMode mode, const FtpScript& script, int port, HostKeyCheck& check);
// Why a session failed, told so that a refused server is named as such.
QString sessionFailure(CURLcode code, const QString& curlReason, const HostKeyCheck& check);
