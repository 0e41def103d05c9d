// Who gets in: the account, Digest and Basic, TLS, the lockout.
#include "tests/web/WebViewFixture.h"

#include "settings/Settings.h"
#include "tests/support/LoopbackServers.h"
#include "web/DigestNonces.h"
#include "web/IpAddress.h"
#include "web/LoginGuard.h"
#include "web/WebAccount.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QProcess>

#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

using WebAccessTest = WebViewFixture;

const QList<QByteArray> kPaths = {"/",           "/stream.mjpg",        "/snapshot.jpg",
                                  "/api/status", "/api/alarms",         "/media/img/260101120000_ALERT.jpg",
                                  "/nothing",    "/clips/ALERT.mjpg"};

// The value of `name` in a challenge or credentials.
QByteArray parameter(const QByteArray& header, const QByteArray& name)
{
    const qsizetype at = header.indexOf(name + "=\"");
    return at < 0 ? QByteArray() : header.mid(at + name.size() + 2, header.indexOf('"', at + name.size() + 2) - at - name.size() - 2);
}

// MD5 Digest credentials made here, not by curl (which takes the first, SHA-256, challenge).
QByteArray md5Credentials(const QByteArray& nonce, const QByteArray& uri, const QByteArray& nc, const QByteArray& password)
{
    const auto md5 = [](const QByteArray& text) { return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex(); };
    const QByteArray cnonce = "0a4f113b";
    const QByteArray response = md5(md5("owner:Houndly:" + password) + ':' + nonce + ':' + nc + ':' + cnonce +
                                    ":auth:" + md5("GET:" + uri));
    return "Authorization: Digest username=\"owner\", realm=\"Houndly\", nonce=\"" + nonce + "\", uri=\"" + uri +
           "\", algorithm=MD5, qop=auth, nc=" + nc + ", cnonce=\"" + cnonce + "\", response=\"" + response + "\"";
}

bool hasIpv6Loopback()
{
    const int fd = ::socket(AF_INET6, SOCK_STREAM, 0);
    sockaddr_in6 loopback{};
    loopback.sin6_family = AF_INET6;
    loopback.sin6_addr = in6addr_loopback;
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&loopback), sizeof loopback) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

// What openssl tells of the certificate: the value of its "name=value" line.
QString certificateField(const QString& pem, const QStringList& options)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), QStringList{QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-in"), pem} + options);
    openssl.waitForFinished();
    return QString::fromLatin1(openssl.readAllStandardOutput()).trimmed().section(u'=', 1);
}

QString opensslFingerprint(const QString& pem)
{
    return certificateField(pem, {QStringLiteral("-fingerprint"), QStringLiteral("-sha256")});
}

TEST_F(WebAccessTest, WithoutAPortOrAnAccountNothingListensAndTheReasonIsTold)
{
    struct Case {
        const char* what;
        int port;
        QString hash;
        QString told;
    };
    const QString hash = Settings.EXT.WEBHASH;
    for (const Case& c : {Case{"port 0", 0, hash, QString()},
                          Case{"no account", int(Settings.EXT.WEBPORT), QString(), QStringLiteral("--set-web-password")},
                          Case{"damaged hash", int(Settings.EXT.WEBPORT), hash.chopped(3), QStringLiteral("no account")}}) {
        SCOPED_TRACE(c.what);
        const int port = Settings.EXT.WEBPORT;
        Settings.EXT.WEBPORT = c.port;
        Settings.EXT.WEBHASH = c.hash;
        const QString line = web->start();
        EXPECT_EQ(line.isEmpty(), c.told.isEmpty()) << line.toStdString();
        EXPECT_TRUE(line.contains(c.told)) << line.toStdString();
        EXPECT_FALSE(web->isRunning());
        Settings.EXT.WEBPORT = port;
        EXPECT_EQ(get("/api/status").status, 0);  // no connection
    }
    EXPECT_TRUE(webAccountOf(QString(64, u'u'), hash) && !webAccountOf(QString(65, u'u'), hash)) << "users of up to 64";
}

TEST_F(WebAccessTest, EveryPathWantsTheAccountDigestLetsInAndCredentialsServeOnce)
{
    ASSERT_TRUE(web->start().startsWith(QStringLiteral("web view on http://127.0.0.1:")));
    for (const QByteArray& path : kPaths) {
        SCOPED_TRACE(path.toStdString());
        const WebReply reply = webCall({.url = url(path)});
        EXPECT_EQ(reply.status, 401);
        const QList<QByteArray> challenges = reply.headersNamed("WWW-Authenticate");
        ASSERT_EQ(challenges.size(), 2);  // no Basic without TLS
        EXPECT_TRUE(challenges[0].contains("algorithm=SHA-256"));
        EXPECT_TRUE(challenges[1].contains("algorithm=MD5"));
    }
    EXPECT_EQ(get("/api/status", CURLAUTH_BASIC).status, 401);
    EXPECT_EQ(get("/api/status").status, 200);  // curl's Digest takes SHA-256
    EXPECT_EQ(webCall({.url = url("/api/status"), .user = kUser, .password = "wrong", .auth = CURLAUTH_DIGEST}).status, 401);

    const QByteArray nonce = parameter(webCall({.url = url("/api/status")}).headersNamed("WWW-Authenticate")[1], "nonce");
    const auto byHand = [&](const QByteArray& uri, const QByteArray& signedUri, const QByteArray& nc) {
        return webCall({.url = url(uri), .headers = {md5Credentials(nonce, signedUri, nc, kPassword)}});
    };
    EXPECT_EQ(byHand("/api/status", "/api/status", "00000001").status, 200);
    const WebReply replayed = byHand("/api/status", "/api/status", "00000001");
    EXPECT_EQ(replayed.status, 401);
    EXPECT_TRUE(replayed.headersNamed("WWW-Authenticate")[0].contains("stale=true"));
    EXPECT_EQ(byHand("/snapshot.jpg", "/api/status", "00000002").status, 401);
    EXPECT_EQ(byHand("/api/status", "/api/status", "00000003").status, 200);
    EXPECT_EQ(byHand("/api/status", "/api/status", "00000002").status, 200);  // late, as parallel requests come
    EXPECT_EQ(byHand("/api/status", "/api/status", "00000002").status, 401);

    // Bound to the IPv6 loopback it answers there, and only there.
    if (!hasIpv6Loopback())
        GTEST_SKIP() << "no IPv6 loopback here";
    Settings.EXT.WEBBIND = QStringLiteral("::1");
    const QByteArray ipv6 = "http://[::1]:" + QByteArray::number(Settings.EXT.WEBPORT) + "/api/status";
    EXPECT_TRUE(web->start().startsWith(QStringLiteral("web view on http://[::1]:")));
    EXPECT_EQ(webCall({.url = ipv6, .user = kUser, .password = kPassword, .auth = CURLAUTH_DIGEST}).status, 200);
    EXPECT_EQ(get("/api/status").status, 0);
}

// What WEBBIND may hold, whether it stays on this machine (plain HTTP) or
// binds every address (no address in the certificate), and how a peer is named.
TEST(IpAddress, BindAddressesAndPeerNames)
{
    const struct {
        const char* text;
        int family;  // 0: not an address
        bool loopback, any;
    } rows[] = {
        {"127.0.0.1", AF_INET, true, false},      {"127.9.0.1", AF_INET, true, false},
        {"192.168.1.20", AF_INET, false, false},  {"0.0.0.0", AF_INET, false, true},
        {"::1", AF_INET6, true, false},           {"::ffff:127.0.0.1", AF_INET6, true, false},
        {"fe80::1", AF_INET6, false, false},      {"::", AF_INET6, false, true},
        {"localhost", 0, false, false},           {"1.2.3", 0, false, false},
        {"", 0, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const std::optional<IpAddress> address = parseIpAddress(QString::fromLatin1(row.text));
        ASSERT_EQ(address.has_value(), row.family != 0);
        if (!address)
            continue;
        EXPECT_EQ(address->family, row.family);
        EXPECT_EQ(address->isLoopback(), row.loopback);
        EXPECT_EQ(address->isAny(), row.any);
    }
    sockaddr_in6 peer{};
    peer.sin6_family = AF_INET6;
    std::memcpy(&peer.sin6_addr, parseIpAddress(QStringLiteral("::ffff:10.1.2.3"))->bytes, 16);
    EXPECT_EQ(peerAddressText(reinterpret_cast<const sockaddr*>(&peer)), "10.1.2.3");
    std::memcpy(&peer.sin6_addr, parseIpAddress(QStringLiteral("fe80::1"))->bytes, 16);
    EXPECT_EQ(peerAddressText(reinterpret_cast<const sockaddr*>(&peer)), "fe80::1");
}

TEST_F(WebAccessTest, FiveFailuresLockOneAddressOutAndTellIt)
{
    web->start();
    const auto from = [&](const QByteArray& source, const QByteArray& password) {
        return webCall({.url = url("/api/status"), .user = kUser, .password = password, .auth = CURLAUTH_DIGEST, .source = source})
            .status;
    };
    for (int failure = 1; failure <= 4; ++failure)
        EXPECT_EQ(from("127.0.0.1", "guess" + QByteArray::number(failure)), 401);
    pump();
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(from("127.0.0.1", "guess5"), 429);
    EXPECT_EQ(from("127.0.0.1", kPassword), 429);
    EXPECT_EQ(webCall({.url = url("/api/status"), .source = "127.0.0.1"}).headersNamed("Retry-After"), QList<QByteArray>{"600"});
    EXPECT_EQ(from("127.0.0.2", kPassword), 200);
    pump();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0], QStringLiteral("web view: 127.0.0.1 locked out for 10 minutes after 5 failed logins"));

    // Five within ten minutes lock out for ten minutes; failures ten minutes old no longer count.
    using namespace std::chrono_literals;
    auto now = std::chrono::steady_clock::time_point{};
    LoginGuard guard([&now] { return now; });
    for (const QByteArray address : {"a", "b", "c"})
        for (int failure = 1; failure < 5; ++failure)
            EXPECT_FALSE(guard.failed(address));
    guard.succeeded("c");
    EXPECT_FALSE(guard.failed("c")) << "a login forgets the failures before it";
    now += 10min - 1ms;
    EXPECT_TRUE(guard.failed("a"));
    now += 1ms;
    EXPECT_FALSE(guard.failed("b"));
    now += 10min - 2ms;
    EXPECT_TRUE(guard.isLockedOut("a"));
    now += 1ms;
    EXPECT_FALSE(guard.isLockedOut("a"));

    // A flood of addresses fills the table at 4096: then failures ten minutes old
    // go first, and only if that is not room enough every failure that locked nothing; locks stay.
    LoginGuard flooded([&now] { return now; });
    const auto fail = [&flooded](int address, int times) {
        bool locked = false;
        for (int failure = 0; failure < times; ++failure)
            locked = flooded.failed(QByteArray::number(address));
        return locked;
    };
    fail(0, 1);
    now += 10min;
    ASSERT_TRUE(fail(1, 5));
    for (int address = 2; address < 4096; ++address)
        fail(address, 4);
    EXPECT_TRUE(fail(2, 1)) << "the old failure made room";
    fail(4096, 1);
    EXPECT_FALSE(fail(3, 1)) << "a full table forgets the failures that locked nothing";
    EXPECT_TRUE(flooded.isLockedOut("1") && flooded.isLockedOut("2"));

    // A Digest nonce is good for half an hour, then stale.
    DigestNonces nonces([&now] { return now; });
    const QByteArray nonce = nonces.issue();
    now += 30min;
    EXPECT_EQ(nonces.use(nonce, 1), DigestNonces::Use::Fresh);
    now += 1ms;
    EXPECT_EQ(nonces.use(nonce, 2), DigestNonces::Use::Unknown);
    // The 256 newest nonces are kept; of each, a late count at most 63 behind the highest.
    std::vector<QByteArray> issued;
    for (int n = 0; n <= 256; ++n) {
        now += 1ms;
        issued.push_back(nonces.issue());
    }
    EXPECT_EQ(nonces.use(issued[0], 1), DigestNonces::Use::Unknown);
    EXPECT_EQ(nonces.use(issued[1], 1), DigestNonces::Use::Fresh);
    for (const auto& [nc, use] : {std::pair(100u, DigestNonces::Use::Fresh), std::pair(37u, DigestNonces::Use::Fresh),
                                  std::pair(36u, DigestNonces::Use::Replayed)})
        EXPECT_EQ(nonces.use(issued.back(), nc), use) << nc;
}

TEST_F(WebAccessTest, TlsTakesBasicTooAndASelfSignedCertificateIsMadeOnceForOtherAddresses)
{
    const TestCertificate given = makeCertificate(home.path());  // the user's own, made by openssl
    Settings.EXT.WEBCERT = given.certificate;
    Settings.EXT.WEBKEY = given.key;
    EXPECT_TRUE(web->start().endsWith(QStringLiteral(", certificate SHA-256 ") + opensslFingerprint(given.certificate)));
    scheme = "https";
    for (const long auth : {CURLAUTH_BASIC, CURLAUTH_DIGEST})
        EXPECT_EQ(webCall({.url = url("/api/status"), .user = kUser, .password = kPassword, .auth = auth,
                           .caFile = Settings.EXT.WEBCERT})
                      .status,
                  200);
    scheme = "http";
    EXPECT_EQ(get("/api/status").status, 0);  // no plain HTTP beside it

    Settings.EXT.WEBCERT.clear();
    Settings.EXT.WEBKEY.clear();
    Settings.EXT.WEBBIND = QStringLiteral("0.0.0.0");
    const QString first = web->start();
    const QString pem = home.filePath(QStringLiteral("web-cert.pem"));
    EXPECT_EQ(first.section(QStringLiteral("new self-signed certificate SHA-256 "), 1), opensslFingerprint(pem));
    for (const QString& file : {pem, home.filePath(QStringLiteral("web-key.pem"))})
        EXPECT_EQ(QFileInfo(file).permissions() & 0x0077, 0) << file.toStdString();
    const QString second = web->start();
    EXPECT_EQ(second.section(QStringLiteral("certificate SHA-256 "), 1), opensslFingerprint(pem));
    EXPECT_FALSE(second.contains(QStringLiteral("new")));
    EXPECT_EQ(QProcess::execute(QStringLiteral("openssl"), {QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-checkend"),
                                                           QString::number(19 * 365 * 24 * 3600), QStringLiteral("-in"), pem}),
              0) << "good for 20 years";
    const QString from = certificateField(pem, {QStringLiteral("-startdate"), QStringLiteral("-dateopt"), QStringLiteral("iso_8601")})
                             .replace(u' ', u'T');
    EXPECT_GT(QDateTime::fromString(from, Qt::ISODate).secsTo(QDateTime::currentDateTimeUtc()), 3000) << "and from an hour back";
    for (const QString& half : {pem, home.filePath(QStringLiteral("web-key.pem"))}) {
        ASSERT_TRUE(QFile::remove(half));  // a pair left half made is made again
        EXPECT_TRUE(web->start().contains(QStringLiteral("new self-signed certificate")));
    }

    Settings.EXT.WEBCERT = given.certificate;  // beside another key
    Settings.EXT.WEBKEY = home.filePath(QStringLiteral("web-key.pem"));
    EXPECT_TRUE(web->start().contains(QStringLiteral("cannot be used")));
    EXPECT_FALSE(web->isRunning());
}

}  // namespace
