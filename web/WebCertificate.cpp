#include "web/WebCertificate.h"

#include "settings/AtomicFile.h"
#include "web/IpAddress.h"
#include "web/WebAccount.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

#include <ctime>
#include <memory>

namespace {

constexpr qint64 kLargestPem = 1024 * 1024;
constexpr time_t kValidSeconds = time_t(20) * 365 * 24 * 3600;

struct CertificateDeleter {
    void operator()(gnutls_x509_crt_int* crt) const { gnutls_x509_crt_deinit(crt); }
};
struct KeyDeleter {
    void operator()(gnutls_x509_privkey_int* key) const { gnutls_x509_privkey_deinit(key); }
};
using Certificate = std::unique_ptr<gnutls_x509_crt_int, CertificateDeleter>;
using PrivateKey = std::unique_ptr<gnutls_x509_privkey_int, KeyDeleter>;

gnutls_datum_t datumOf(const QByteArray& bytes)
{
    return {reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.constData())), unsigned(bytes.size())};
}

std::optional<QByteArray> readPem(const QString& path, QString& why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kLargestPem) {
        why = QStringLiteral("%1 is too large for a PEM file").arg(path);
        return std::nullopt;
    }
    return file.readAll();
}

QString fingerprintOf(gnutls_x509_crt_t crt)
{
    unsigned char digest[32];
    size_t size = sizeof digest;
    if (gnutls_x509_crt_get_fingerprint(crt, GNUTLS_DIG_SHA256, digest, &size) != 0)
        return {};
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), qsizetype(size)).toHex(':').toUpper());
}

// The first certificate of the PEM text; why not in `why`.
Certificate importCertificate(const QByteArray& pem, QString& why)
{
    gnutls_x509_crt_t crt = nullptr;
    gnutls_x509_crt_init(&crt);
    Certificate certificate(crt);
    const gnutls_datum_t data = datumOf(pem);
    if (const int error = gnutls_x509_crt_import(crt, &data, GNUTLS_X509_FMT_PEM); error != 0) {
        why = QString::fromUtf8(gnutls_strerror(error));
        return nullptr;
    }
    return certificate;
}

// Whether the key is the certificate's, as the TLS library will take them.
bool belongTogether(const QByteArray& certificatePem, const QByteArray& keyPem, QString& why)
{
    gnutls_certificate_credentials_t credentials = nullptr;
    if (gnutls_certificate_allocate_credentials(&credentials) != 0)
        return false;
    const gnutls_datum_t certificate = datumOf(certificatePem);
    const gnutls_datum_t key = datumOf(keyPem);
    const int error = gnutls_certificate_set_x509_key_mem(credentials, &certificate, &key, GNUTLS_X509_FMT_PEM);
    gnutls_certificate_free_credentials(credentials);
    if (error < 0)
        why = QString::fromUtf8(gnutls_strerror(error));
    return error >= 0;
}

// What an export call gave, empty when it failed.
QByteArray exported(int result, gnutls_datum_t& out)
{
    QByteArray bytes;
    if (result == 0)
        bytes = QByteArray(reinterpret_cast<const char*>(out.data), qsizetype(out.size));
    gnutls_free(out.data);
    return bytes;
}

// A self-signed server certificate with an ECDSA P-256 key; why not in `why`.
std::optional<WebCertificate> makeCertificate(const QString& address, QString& why)
{
    gnutls_x509_privkey_t rawKey = nullptr;
    gnutls_x509_crt_t rawCrt = nullptr;
    gnutls_x509_privkey_init(&rawKey);
    PrivateKey key(rawKey);
    gnutls_x509_crt_init(&rawCrt);
    Certificate crt(rawCrt);
    QByteArray serial = randomBytes(16);
    serial[0] = char(serial[0] & 0x7f);  // a positive number
    const QByteArray name = QSysInfo::machineHostName().toUtf8();
    const QByteArray commonName = "Houndly " + name;
    const time_t now = std::time(nullptr);
    int error = gnutls_x509_privkey_generate(rawKey, GNUTLS_PK_ECDSA, GNUTLS_CURVE_TO_BITS(GNUTLS_ECC_CURVE_SECP256R1), 0);
    const auto step = [&error](int result) {
        if (error == 0)
            error = result;
    };
    step(gnutls_x509_crt_set_version(rawCrt, 3));
    step(gnutls_x509_crt_set_serial(rawCrt, serial.constData(), size_t(serial.size())));
    step(gnutls_x509_crt_set_activation_time(rawCrt, now - 3600));
    step(gnutls_x509_crt_set_expiration_time(rawCrt, now + kValidSeconds));
    step(gnutls_x509_crt_set_dn_by_oid(rawCrt, GNUTLS_OID_X520_COMMON_NAME, 0, commonName.constData(),
                                       unsigned(commonName.size())));
    step(gnutls_x509_crt_set_key(rawCrt, rawKey));
    step(gnutls_x509_crt_set_basic_constraints(rawCrt, 0, -1));
    step(gnutls_x509_crt_set_key_usage(rawCrt, GNUTLS_KEY_DIGITAL_SIGNATURE));
    step(gnutls_x509_crt_set_key_purpose_oid(rawCrt, GNUTLS_KP_TLS_WWW_SERVER, 0));
    if (!name.isEmpty())
        step(gnutls_x509_crt_set_subject_alt_name(rawCrt, GNUTLS_SAN_DNSNAME, name.constData(), unsigned(name.size()),
                                                  GNUTLS_FSAN_APPEND));
    if (const std::optional<IpAddress> host = parseIpAddress(address); host && !host->isAny())
        step(gnutls_x509_crt_set_subject_alt_name(rawCrt, GNUTLS_SAN_IPADDRESS, host->bytes, unsigned(host->size()),
                                                  GNUTLS_FSAN_APPEND));
    step(gnutls_x509_crt_sign2(rawCrt, rawCrt, rawKey, GNUTLS_DIG_SHA256, 0));
    if (error != 0) {
        why = QStringLiteral("the certificate could not be made: %1").arg(QString::fromUtf8(gnutls_strerror(error)));
        return std::nullopt;
    }
    gnutls_datum_t certificateOut{}, keyOut{};
    WebCertificate made{
        .certificatePem = exported(gnutls_x509_crt_export2(rawCrt, GNUTLS_X509_FMT_PEM, &certificateOut), certificateOut),
        .keyPem = exported(gnutls_x509_privkey_export2(rawKey, GNUTLS_X509_FMT_PEM, &keyOut), keyOut),
        .fingerprint = fingerprintOf(rawCrt)};
    if (made.certificatePem.isEmpty() || made.keyPem.isEmpty()) {
        why = QStringLiteral("the certificate could not be exported");
        return std::nullopt;
    }
    return made;
}

}  // namespace

std::optional<WebCertificate> loadWebCertificate(const QString& certificatePath, const QString& keyPath, QString& why)
{
    const std::optional<QByteArray> certificatePem = readPem(certificatePath, why);
    const std::optional<QByteArray> keyPem = certificatePem ? readPem(keyPath, why) : std::nullopt;
    if (!keyPem)
        return std::nullopt;
    const Certificate crt = importCertificate(*certificatePem, why);
    if (crt == nullptr || !belongTogether(*certificatePem, *keyPem, why)) {
        why = QStringLiteral("%1 and %2 cannot be used: %3").arg(certificatePath, keyPath, why);
        return std::nullopt;
    }
    return WebCertificate{.certificatePem = *certificatePem, .keyPem = *keyPem, .fingerprint = fingerprintOf(crt.get())};
}

std::optional<WebCertificate> ownWebCertificate(const QString& folder, const QString& address, bool& made,
                                                QString& why)
{
    const QString certificatePath = QDir(folder).filePath(QStringLiteral("web-cert.pem"));
    const QString keyPath = QDir(folder).filePath(QStringLiteral("web-key.pem"));
    made = false;
    // A pair left half made (a crash between the two writes) is made again.
    if (QFile::exists(certificatePath) && QFile::exists(keyPath))
        return loadWebCertificate(certificatePath, keyPath, why);
    std::optional<WebCertificate> certificate = makeCertificate(address, why);
    if (!certificate)
        return std::nullopt;
    // The key first: a certificate is only ever beside its own key.
    QFile::remove(certificatePath);
    if (!writeFileAtomically(keyPath, certificate->keyPem) ||
        !writeFileAtomically(certificatePath, certificate->certificatePem)) {
        why = QStringLiteral("%1 or %2 could not be written").arg(certificatePath, keyPath);
        return std::nullopt;
    }
    made = true;
    return certificate;
}
