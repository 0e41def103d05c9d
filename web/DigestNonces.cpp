#include "web/DigestNonces.h"

#include "web/WebAccount.h"

#include <algorithm>

namespace {

constexpr qsizetype kMostNonces = 256;
constexpr uint32_t kWindow = 64;

}  // namespace

QByteArray DigestNonces::issue()
{
    const QByteArray nonce = randomBytes(16).toHex();
    const std::lock_guard lock(mutex_);
    if (nonces_.size() >= kMostNonces) {
        const auto oldest = std::min_element(nonces_.cbegin(), nonces_.cend(), [](const Entry& a, const Entry& b) {
            return a.issued < b.issued;
        });
        nonces_.erase(oldest);
    }
    nonces_.insert(nonce, {.issued = clock_()});
    return nonce;
}

DigestNonces::Use DigestNonces::use(QByteArrayView nonce, uint32_t nc)
{
    const std::lock_guard lock(mutex_);
    const auto found = nonces_.find(nonce.toByteArray());
    if (found == nonces_.end() || clock_() - found->issued > kLifetime) {
        if (found != nonces_.end())
            nonces_.erase(found);
        return Use::Unknown;
    }
    Entry& entry = *found;
    if (nc == 0)
        return Use::Replayed;
    if (nc > entry.highest) {
        const uint32_t step = nc - entry.highest;
        entry.window = (step >= kWindow ? 0 : entry.window << step) | 1;
        entry.highest = nc;
        return Use::Fresh;
    }
    // A browser's parallel requests may arrive out of order: recent counts are accepted once.
    const uint32_t back = entry.highest - nc;
    if (back >= kWindow || (entry.window >> back & 1) != 0)
        return Use::Replayed;
    entry.window |= uint64_t(1) << back;
    return Use::Fresh;
}
