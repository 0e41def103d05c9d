#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The web view's account: what WEBHASH keeps of the password, and only what
// checking it needs. Basic credentials are checked against a salted
// PBKDF2-SHA256 hash; Digest (RFC 7616) needs the hashed credentials
// H(user:realm:password) for SHA-256 and MD5, which stand for the password
// towards this server alone and are kept, like houndly.ini, from other users.
struct WebAccount {
    QString user;
    int iterations = 0;
    QByteArray salt;
    QByteArray pbkdf2;
    QByteArray sha256Ha1;
    QByteArray md5Ha1;
};

// The protection space every hashed credential is made for.
inline constexpr char kWebRealm[] = "Houndly";

// Why a user name cannot be the account's ("" when it can): Basic and Digest
// carry it in ways that a colon, a quote, a backslash or a control character break.
QString webUserProblem(const QString& user);
// WEBHASH for the user and password, with a fresh salt.
QString makeWebHash(const QString& user, QByteArrayView password);
// The account of WEBUSER and WEBHASH; nothing when either is missing or damaged.
std::optional<WebAccount> webAccountOf(const QString& user, const QString& hash);
// The password against the account's PBKDF2 hash.
bool passwordMatches(const WebAccount& account, QByteArrayView password);

// Equal bytes, taking the same time wherever they differ.
bool equalInConstantTime(QByteArrayView a, QByteArrayView b);
// Bytes from the system's generator for keys and nonces.
QByteArray randomBytes(int count);
