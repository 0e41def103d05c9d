#pragma once

#include "web/LoginGuard.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <chrono>
#include <cstdint>
#include <mutex>

// The nonces handed out in Digest challenges (RFC 7616). A nonce is good for
// a while, and each of its counts (nc) once, so a request seen on the way
// cannot be sent again. Only the newest nonces are kept; a client holding a
// forgotten one is told it is stale and retries without asking its user.
// Safe from any thread.
class DigestNonces {
public:
    using Clock = LoginGuard::Clock;
    static constexpr std::chrono::minutes kLifetime{30};

    explicit DigestNonces(Clock clock = &std::chrono::steady_clock::now) : clock_(std::move(clock)) {}

    enum class Use { Fresh, Unknown, Replayed };

    QByteArray issue();
    // Takes count `nc` of `nonce`.
    Use use(QByteArrayView nonce, uint32_t nc);

private:
    struct Entry {
        std::chrono::steady_clock::time_point issued;
        uint32_t highest = 0;  // the highest count used
        uint64_t window = 0;   // bit n: count highest - n was used
    };

    const Clock clock_;
    std::mutex mutex_;
    QHash<QByteArray, Entry> nonces_;
};
