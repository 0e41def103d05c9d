#pragma once

#include "web/DigestNonces.h"
#include "web/LoginGuard.h"
#include "web/WebAccount.h"

#include <QByteArray>
#include <QByteArrayList>

#include <chrono>
#include <mutex>
#include <vector>

// What a request brings to be let in.
struct AuthRequest {
    QByteArray address;        // the client's, as text
    QByteArray method;
    QByteArray uri;            // the request target exactly as sent
    QByteArray authorization;  // the Authorization header, empty when none
};

// Checks every request against the one account: Digest (SHA-256 or MD5,
// qop=auth) always, Basic only when the connection is encrypted. Failed
// logins count against their address (LoginGuard). Safe from any thread.
class WebAuth {
public:
    enum class Verdict {
        Pass,
        Challenge,  // 401: no credentials, wrong ones, or a scheme not offered
        Stale,      // 401: right credentials on a nonce no longer good
        LockedOut,  // 429: the address is locked out
        LockedNow,  // 429: this failure locked the address out
    };

    WebAuth(WebAccount account, bool basicAllowed, LoginGuard::Clock clock = &std::chrono::steady_clock::now);

    Verdict check(const AuthRequest& request);
    // The WWW-Authenticate values of a 401, the strongest first.
    QByteArrayList challenges(bool stale);

private:
    enum class Outcome { Pass, Wrong, Unusable, Stale };
    Outcome checkBasic(QByteArrayView credentials);
    Outcome checkDigest(const AuthRequest& request, QByteArrayView parameters);
    bool basicCached(const QByteArray& key);
    void cacheBasic(const QByteArray& key);

    const WebAccount account_;
    const bool basicAllowed_;
    const QByteArray opaque_;
    const QByteArray cacheKey_;
    // One clock for the lockout, the nonces and the Basic cache.
    const LoginGuard::Clock clock_;
    LoginGuard guard_;
    DigestNonces nonces_;
    // Basic credentials seen good lately, as keyed hashes: PBKDF2 runs once per session, not per request.
    std::mutex cacheMutex_;
    std::vector<std::pair<QByteArray, std::chrono::steady_clock::time_point>> basicCache_;
};
