#include "web/WebAuth.h"

#include <QCryptographicHash>
#include <QHash>
#include <QMessageAuthenticationCode>

#include <algorithm>

namespace {

constexpr std::chrono::minutes kBasicCacheTime{10};
constexpr size_t kBasicCacheSize = 16;

// The name="value" and name=token pairs of an authorization header after its scheme.
QHash<QByteArray, QByteArray> authParameters(QByteArrayView text)
{
    QHash<QByteArray, QByteArray> parameters;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ','))
            ++i;
    };
    for (skipBlanks(); i < text.size(); skipBlanks()) {
        const qsizetype equals = text.indexOf('=', i);
        if (equals < 0)
            return {};
        const QByteArray name = text.sliced(i, equals - i).trimmed().toByteArray().toLower();
        i = equals + 1;
        QByteArray value;
        if (i < text.size() && text[i] == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                value += text[i];
            }
            if (i >= text.size())
                return {};  // no closing quote
            ++i;
        } else {
            qsizetype end = text.indexOf(',', i);
            if (end < 0)
                end = text.size();
            value = text.sliced(i, end - i).trimmed().toByteArray();
            i = end;
        }
        parameters.insert(name, value);
    }
    return parameters;
}

QByteArray hexHash(QCryptographicHash::Algorithm algorithm, const QByteArray& data)
{
    return QCryptographicHash::hash(data, algorithm).toHex();
}

}  // namespace

WebAuth::WebAuth(WebAccount account, bool basicAllowed, LoginGuard::Clock clock)
    : account_(std::move(account)),
      basicAllowed_(basicAllowed),
      opaque_(randomBytes(8).toHex()),
      cacheKey_(randomBytes(32)),
      clock_(std::move(clock)),
      guard_(clock_),
      nonces_(clock_)
{
}

WebAuth::Verdict WebAuth::check(const AuthRequest& request)
{
    if (guard_.isLockedOut(request.address))
        return Verdict::LockedOut;
    const QByteArrayView header(request.authorization);
    const qsizetype space = header.indexOf(' ');
    const QByteArray scheme = header.first(space < 0 ? header.size() : space).toByteArray().toLower();
    const QByteArrayView rest = space < 0 ? QByteArrayView() : header.sliced(space + 1);
    Outcome outcome = Outcome::Unusable;
    if (scheme == "digest")
        outcome = checkDigest(request, rest);
    else if (scheme == "basic" && basicAllowed_)
        outcome = checkBasic(rest.trimmed());
    switch (outcome) {
    case Outcome::Pass:
        guard_.succeeded(request.address);
        return Verdict::Pass;
    case Outcome::Stale:
        return Verdict::Stale;
    case Outcome::Unusable:
        return Verdict::Challenge;
    case Outcome::Wrong:
        break;
    }
    return guard_.failed(request.address) ? Verdict::LockedNow : Verdict::Challenge;
}

QByteArrayList WebAuth::challenges(bool stale)
{
    const QByteArray nonce = nonces_.issue();
    QByteArrayList values;
    for (const char* algorithm : {"SHA-256", "MD5"}) {
        values << QByteArray("Digest realm=\"") + kWebRealm + "\", qop=\"auth\", algorithm=" + algorithm +
                      ", nonce=\"" + nonce + "\", opaque=\"" + opaque_ + "\"" + (stale ? ", stale=true" : "");
    }
    if (basicAllowed_)
        values << QByteArray("Basic realm=\"") + kWebRealm + "\", charset=\"UTF-8\"";
    return values;
}

WebAuth::Outcome WebAuth::checkBasic(QByteArrayView credentials)
{
    const auto result = QByteArray::fromBase64Encoding(credentials.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray& decoded = result.decoded;
    const qsizetype colon = result ? decoded.indexOf(':') : -1;
    if (colon < 0)
        return Outcome::Unusable;
    const QByteArray key = QMessageAuthenticationCode::hash(decoded, cacheKey_, QCryptographicHash::Sha256);
    if (basicCached(key))
        return Outcome::Pass;
    const bool userMatches = equalInConstantTime(decoded.first(colon), account_.user.toUtf8());
    // The hash runs for a wrong user too, so its time tells nothing about the user name.
    const bool passwordMatchesToo = passwordMatches(account_, QByteArrayView(decoded).sliced(colon + 1));
    if (!userMatches || !passwordMatchesToo)
        return Outcome::Wrong;
    cacheBasic(key);
    return Outcome::Pass;
}

WebAuth::Outcome WebAuth::checkDigest(const AuthRequest& request, QByteArrayView parameterText)
{
    const QHash<QByteArray, QByteArray> p = authParameters(parameterText);
    const QByteArray algorithm = p.value("algorithm", "MD5").toUpper();
    const bool sha256 = algorithm == "SHA-256";
    bool counted = false;
    const uint32_t nc = p.value("nc").toUInt(&counted, 16);
    if ((!sha256 && algorithm != "MD5") || p.value("qop") != "auth" || !counted || p.value("cnonce").isEmpty() ||
        p.value("nonce").isEmpty() || p.value("realm") != kWebRealm)
        return Outcome::Unusable;
    const auto hashing = sha256 ? QCryptographicHash::Sha256 : QCryptographicHash::Md5;
    const QByteArray ha1 = (sha256 ? account_.sha256Ha1 : account_.md5Ha1).toHex();
    // Of the request as it came, so credentials made for another one never match.
    const QByteArray ha2 = hexHash(hashing, request.method + ':' + request.uri);
    const QByteArray expected =
        hexHash(hashing, ha1 + ':' + p.value("nonce") + ':' + p.value("nc") + ':' + p.value("cnonce") + ":auth:" + ha2);
    const bool userMatches = equalInConstantTime(p.value("username"), account_.user.toUtf8());
    if (!equalInConstantTime(p.value("response").toLower(), expected) || !userMatches)
        return Outcome::Wrong;
    return nonces_.use(p.value("nonce"), nc) == DigestNonces::Use::Fresh ? Outcome::Pass : Outcome::Stale;
}

bool WebAuth::basicCached(const QByteArray& key)
{
    const std::lock_guard lock(cacheMutex_);
    const auto now = clock_();
    std::erase_if(basicCache_, [now](const auto& entry) { return now - entry.second > kBasicCacheTime; });
    bool found = false;
    for (const auto& entry : basicCache_)
        found = equalInConstantTime(entry.first, key) || found;
    return found;
}

void WebAuth::cacheBasic(const QByteArray& key)
{
    const std::lock_guard lock(cacheMutex_);
    if (basicCache_.size() >= kBasicCacheSize)
        basicCache_.erase(basicCache_.begin());
    basicCache_.emplace_back(key, clock_());
}
