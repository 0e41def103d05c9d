#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

struct sockaddr;

// An IP address as WEBBIND holds it: dotted IPv4 or IPv6 text.
struct IpAddress {
    int family = 0;           // AF_INET or AF_INET6
    uint8_t bytes[16] = {};   // network order; the first 4 for IPv4
    size_t size() const;      // the bytes in use
    bool isLoopback() const;  // 127.0.0.0/8, ::1, or loopback IPv4 mapped into IPv6
    bool isAny() const;       // 0.0.0.0 or ::
};

std::optional<IpAddress> parseIpAddress(const QString& text);

// A connection's peer as text; an IPv4 address mapped into IPv6 is written as
// IPv4. Empty for any other kind of address.
QByteArray peerAddressText(const sockaddr* address);
