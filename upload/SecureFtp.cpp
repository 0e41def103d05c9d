#include "upload/SecureFtp.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// The file a private server's authority is named in, as for mail.
constexpr const char* kCaFileVariable = "HOUNDLY_CA_FILE";

// An SSH key blob begins with its type's name ("ssh-ed25519", "ecdsa-sha2-nistp384", ...).
QByteArray keyTypeOf(const QByteArray& blob)
{
    if (blob.size() < 4)
        return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(blob.constData());
    const qsizetype length = qsizetype(bytes[0]) << 24 | qsizetype(bytes[1]) << 16 | qsizetype(bytes[2]) << 8 | bytes[3];
    return length > 0 && length <= blob.size() - 4 ? blob.mid(4, length) : QByteArray();
}

// Adds the key to known_hosts, in a folder the user's alone as ssh makes it; false when it cannot.
bool rememberKey(const HostKeyCheck& check, const QByteArray& blob)
{
    const QByteArray type = keyTypeOf(blob);
    const QString folder = QFileInfo(check.knownHosts).absolutePath();
    const bool folderReady =
        QDir(folder).exists() ||
        (QDir().mkpath(folder) &&
         QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    if (type.isEmpty() || !folderReady)
        return false;
    QFile file(check.knownHosts);
    if (!file.open(QIODevice::Append))
        return false;
    const QByteArray line = check.host.toUtf8() + ' ' + type + ' ' + blob.toBase64() + '\n';
    return file.write(line) == line.size() && file.flush();
}

int hostKeyVerdict(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* data)
{
    auto& check = *static_cast<HostKeyCheck*>(data);
    const QByteArray blob = found->len == 0 ? QByteArray::fromBase64(found->key)
                                            : QByteArray(found->key, qsizetype(found->len));
    check.fingerprint = QStringLiteral("SHA256:") +
                        QString::fromLatin1(QCryptographicHash::hash(blob, QCryptographicHash::Sha256)
                                                .toBase64(QByteArray::OmitTrailingEquals));
    switch (match) {
    case CURLKHMATCH_OK:
        check.verdict = HostKeyCheck::Verdict::Known;
        return CURLKHSTAT_FINE;
    case CURLKHMATCH_MISSING:
        if (!rememberKey(check, blob)) {
            check.verdict = HostKeyCheck::Verdict::NotRemembered;
            return CURLKHSTAT_REJECT;
        }
        check.verdict = HostKeyCheck::Verdict::Remembered;
        std::fprintf(stderr, "houndly-ftp: remembered the host key of %s in %s: %s\n", qPrintable(check.host),
                     qPrintable(check.knownHosts), qPrintable(check.fingerprint));
        return CURLKHSTAT_FINE;
    case CURLKHMATCH_MISMATCH:
    case CURLKHMATCH_LAST:
        break;
    }
    check.verdict = HostKeyCheck::Verdict::Changed;
    return CURLKHSTAT_REJECT;
}

void prepareSftp(CURL* handle, const FtpScript& script, int port, HostKeyCheck& check)
{
    check.host = port == 22 ? script.host : QStringLiteral("[%1]:%2").arg(script.host).arg(port);
    check.knownHosts = QDir::homePath() + QStringLiteral("/.ssh/known_hosts");
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "sftp");
    curl_easy_setopt(handle, CURLOPT_SSH_KNOWNHOSTS, QFile::encodeName(check.knownHosts).constData());
    curl_easy_setopt(handle, CURLOPT_SSH_KEYFUNCTION, hostKeyVerdict);
    curl_easy_setopt(handle, CURLOPT_SSH_KEYDATA, &check);
    if (!script.password.isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
        return;
    }
    curl_easy_setopt(handle, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PUBLICKEY));
    for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
        const QString key = QDir::homePath() + QStringLiteral("/.ssh/") + QLatin1String(name);
        if (QFile::exists(key)) {
            curl_easy_setopt(handle, CURLOPT_SSH_PRIVATE_KEYFILE, QFile::encodeName(key).constData());
            curl_easy_setopt(handle, CURLOPT_SSH_PUBLIC_KEYFILE, "");  // derived from the private one
            return;
        }
    }
}

}  // namespace

QByteArray prepareSession(CURL* handle, FtpMode mode, const FtpScript& script, int port, HostKeyCheck& check)
{
    // curl copies the texts it is given.
    switch (mode) {
    case FtpMode::Plain:
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "ftp");
        return "ftp://";
    case FtpMode::Ftps: {
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "ftp");
        // TLS before the log-in, on the control and every data connection, or nothing is sent.
        curl_easy_setopt(handle, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        curl_easy_setopt(handle, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
        // TLS 1.2: under 1.3 a server's session tickets may reach a data connection curl has
        // closed, and the reset drops the end of the upload while the server says it is whole.
        curl_easy_setopt(handle, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2) | long(CURL_SSLVERSION_MAX_TLSv1_2));
        const QByteArray caFile = qgetenv(kCaFileVariable);
        if (!caFile.isEmpty())
            curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.constData());
        return "ftp://";
    }
    case FtpMode::Sftp:
        break;
    }
    prepareSftp(handle, script, port, check);
    return "sftp://";
}

QString sessionFailure(CURLcode code, const QString& curlReason, const HostKeyCheck& check)
{
    switch (check.verdict) {
    case HostKeyCheck::Verdict::Changed:
        return QStringLiteral("refused: the host key of %1 has changed (now %2); if that is right, remove its line "
                              "from %3")
            .arg(check.host, check.fingerprint, check.knownHosts);
    case HostKeyCheck::Verdict::NotRemembered:
        return QStringLiteral("refused: the host key of %1 (%2) cannot be remembered in %3")
            .arg(check.host, check.fingerprint, check.knownHosts);
    case HostKeyCheck::Verdict::Unseen:
    case HostKeyCheck::Verdict::Known:
    case HostKeyCheck::Verdict::Remembered:
        break;
    }
    switch (code) {
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("refused: the server's certificate is not trusted (%1)").arg(curlReason);
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("refused: the server offers no TLS (%1)").arg(curlReason);
    default:
        return curlReason;
    }
}
