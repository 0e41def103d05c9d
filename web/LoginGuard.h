#pragma once

#include <QByteArray>
#include <QHash>

#include <chrono>
#include <functional>
#include <mutex>

// Failed logins per client address: five within the lockout time lock that
// address out for ten minutes. Safe from any thread.
class LoginGuard {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int kFailures = 5;
    static constexpr std::chrono::minutes kLockout{10};

    explicit LoginGuard(Clock clock = &std::chrono::steady_clock::now) : clock_(std::move(clock)) {}

    bool isLockedOut(const QByteArray& address);
    // Counts a failed login; true when this one locks the address out.
    bool failed(const QByteArray& address);
    void succeeded(const QByteArray& address);

private:
    struct Entry {
        int failures = 0;
        std::chrono::steady_clock::time_point first;  // of the failures counted
        std::chrono::steady_clock::time_point lockedUntil;
    };
    void forgetOld(std::chrono::steady_clock::time_point now);

    Clock clock_;
    std::mutex mutex_;
    QHash<QByteArray, Entry> entries_;
};
