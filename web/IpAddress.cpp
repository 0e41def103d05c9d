#include "web/IpAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

bool isMappedIpv4(const uint8_t* bytes)
{
    return std::memcmp(bytes, kMappedPrefix, sizeof kMappedPrefix) == 0;
}

}  // namespace

size_t IpAddress::size() const
{
    return family == AF_INET6 ? 16 : 4;
}

bool IpAddress::isLoopback() const
{
    if (family == AF_INET)
        return bytes[0] == 127;
    static constexpr uint8_t kIpv6Loopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return std::memcmp(bytes, kIpv6Loopback, 16) == 0 || (isMappedIpv4(bytes) && bytes[12] == 127);
}

bool IpAddress::isAny() const
{
    return std::all_of(bytes, bytes + size(), [](uint8_t byte) { return byte == 0; });
}

std::optional<IpAddress> parseIpAddress(const QString& text)
{
    const QByteArray written = text.trimmed().toLatin1();
    IpAddress address;
    for (const int family : {AF_INET, AF_INET6}) {
        if (inet_pton(family, written.constData(), address.bytes) == 1) {
            address.family = family;
            return address;
        }
    }
    return std::nullopt;
}

QByteArray peerAddressText(const sockaddr* address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
        inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text);
    } else if (address->sa_family == AF_INET6) {
        const auto* bytes = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr.s6_addr;
        if (isMappedIpv4(bytes))
            inet_ntop(AF_INET, bytes + 12, text, sizeof text);
        else
            inet_ntop(AF_INET6, bytes, text, sizeof text);
    }
    return QByteArray(text);
}
