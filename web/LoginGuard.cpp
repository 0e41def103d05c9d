#include "web/LoginGuard.h"

namespace {

// Many addresses failing at once cannot make the table grow without bound.
constexpr qsizetype kMostAddresses = 4096;

}  // namespace

bool LoginGuard::isLockedOut(const QByteArray& address)
{
    const std::lock_guard lock(mutex_);
    const auto entry = entries_.constFind(address);
    return entry != entries_.cend() && entry->lockedUntil > clock_();
}

bool LoginGuard::failed(const QByteArray& address)
{
    const std::lock_guard lock(mutex_);
    const auto now = clock_();
    if (entries_.size() >= kMostAddresses)
        forgetOld(now);
    Entry& entry = entries_[address];
    // Failures further back than the lockout time no longer count.
    if (entry.failures == 0 || now - entry.first >= kLockout)
        entry = {.failures = 0, .first = now, .lockedUntil = {}};
    if (++entry.failures < kFailures)
        return false;
    entry = {.failures = 0, .first = now, .lockedUntil = now + kLockout};
    return true;
}

void LoginGuard::succeeded(const QByteArray& address)
{
    const std::lock_guard lock(mutex_);
    entries_.remove(address);
}

void LoginGuard::forgetOld(std::chrono::steady_clock::time_point now)
{
    entries_.removeIf([now](const auto& item) {
        return item.value().lockedUntil <= now && now - item.value().first >= kLockout;
    });
    // Still full: the newest failures of a flood are not remembered, locks are.
    if (entries_.size() >= kMostAddresses)
        entries_.removeIf([now](const auto& item) { return item.value().lockedUntil <= now; });
}
