#pragma once

#include <QString>

// Whether `address` lies in a range that is not routed on the Internet, so a page pointing
// at it cannot be followed from outside: 10/8, 172.16/12, 192.168/16, the shared address
// space 100.64/10 of carrier-grade NAT, link-local 169.254/16, and for IPv6 unique-local
// fc00::/7 and link-local fe80::/10. Anything that is not an address is not private.
bool IsPrivateAddress(const QString& address);

// Whether `address` is one address of its family, written as such, that the world can use
// to reach a machine: a dotted quad of four decimal numbers without leading zeros (not in
// 0/8, loopback 127/8, multicast or the reserved 240/4), or an IPv6 address without a zone
// index (not unspecified, loopback, multicast or an IPv4-mapped one). Private ranges are
// usable: they are published, with a notice.
bool IsUsableAddress(const QString& address, bool ipv6);

// The history line that flags a private address and names the choice that publishes the
// address the Internet sees instead.
QString PrivateAddressNotice(const QString& address);
