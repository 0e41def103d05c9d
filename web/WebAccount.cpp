#include "web/WebAccount.h"

#include <QCryptographicHash>
#include <QStringList>

#include <gnutls/crypto.h>
#include <gnutls/gnutls.h>

#include <stdexcept>

namespace {

// About a tenth of a second here; checks are cached for the session (WebAuth).
constexpr int kIterations = 200'000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
constexpr int kLongestUser = 64;
const QString kVersion = QStringLiteral("v1");
constexpr auto kBase64 = QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals;

std::optional<QByteArray> pbkdf2(QByteArrayView password, const QByteArray& salt, int iterations)
{
    QByteArray key(kHashBytes, '\0');
    gnutls_datum_t secret{reinterpret_cast<unsigned char*>(const_cast<char*>(password.data())),
                          unsigned(password.size())};
    gnutls_datum_t saltDatum{reinterpret_cast<unsigned char*>(const_cast<char*>(salt.data())), unsigned(salt.size())};
    if (gnutls_pbkdf2(GNUTLS_MAC_SHA256, &secret, &saltDatum, unsigned(iterations), key.data(), size_t(key.size())) != 0)
        return std::nullopt;
    return key;
}

QByteArray ha1(QCryptographicHash::Algorithm algorithm, const QString& user, QByteArrayView password)
{
    QCryptographicHash hash(algorithm);
    hash.addData(user.toUtf8() + ':' + kWebRealm + ':');
    hash.addData(password);
    return hash.result();
}

QByteArray fromBase64(const QString& text)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), kBase64 | QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

}  // namespace

QString webUserProblem(const QString& user)
{
    if (user.isEmpty())
        return QStringLiteral("the user name is empty");
    if (user.size() > kLongestUser)
        return QStringLiteral("the user name is longer than %1 characters").arg(kLongestUser);
    for (const QChar c : user)
        if (c == u':' || c == u'"' || c == u'\\' || c.category() == QChar::Other_Control)
            return QStringLiteral("the user name may not hold a colon, a quote, a backslash or a control character");
    return {};
}

QString makeWebHash(const QString& user, QByteArrayView password)
{
    const QByteArray salt = randomBytes(kSaltBytes);
    const std::optional<QByteArray> key = pbkdf2(password, salt, kIterations);
    if (!key)
        throw std::runtime_error("PBKDF2 failed");
    return QStringList{kVersion, QString::number(kIterations), QString::fromLatin1(salt.toBase64(kBase64)),
                       QString::fromLatin1(key->toBase64(kBase64)),
                       QString::fromLatin1(ha1(QCryptographicHash::Sha256, user, password).toBase64(kBase64)),
                       QString::fromLatin1(ha1(QCryptographicHash::Md5, user, password).toBase64(kBase64))}
        .join(u':');
}

std::optional<WebAccount> webAccountOf(const QString& user, const QString& hash)
{
    const QStringList parts = hash.split(u':');
    if (!webUserProblem(user).isEmpty() || parts.size() != 6 || parts[0] != kVersion)
        return std::nullopt;
    WebAccount account{.user = user,
                       .iterations = parts[1].toInt(),
                       .salt = fromBase64(parts[2]),
                       .pbkdf2 = fromBase64(parts[3]),
                       .sha256Ha1 = fromBase64(parts[4]),
                       .md5Ha1 = fromBase64(parts[5])};
    if (account.iterations < 1 || account.salt.isEmpty() || account.pbkdf2.size() != kHashBytes ||
        account.sha256Ha1.size() != 32 || account.md5Ha1.size() != 16)
        return std::nullopt;
    return account;
}

bool passwordMatches(const WebAccount& account, QByteArrayView password)
{
    const std::optional<QByteArray> key = pbkdf2(password, account.salt, account.iterations);
    return key && equalInConstantTime(*key, account.pbkdf2);
}

bool equalInConstantTime(QByteArrayView a, QByteArrayView b)
{
    // The length is no secret: hashes and nonces have fixed ones.
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, '\0');
    if (gnutls_rnd(GNUTLS_RND_KEY, bytes.data(), size_t(count)) != 0)
        throw std::runtime_error("no random bytes");
    return bytes;
}
