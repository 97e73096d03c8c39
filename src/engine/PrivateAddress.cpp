#include "engine/PrivateAddress.h"

#include <QHostAddress>
#include <QRegularExpression>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

std::optional<quint32> Ipv4(const QString& address)
{
    // A leading zero reads as octal to some resolvers and as decimal to others.
    static const QRegularExpression dotted(
        u"^(0|[1-9]\\d{0,2})\\.(0|[1-9]\\d{0,2})\\.(0|[1-9]\\d{0,2})\\.(0|[1-9]\\d{0,2})$"_s);
    const QRegularExpressionMatch match = dotted.match(address);
    if (!match.hasMatch())
        return std::nullopt;
    quint32 value = 0;
    for (int i = 1; i <= 4; ++i) {
        const uint octet = match.capturedView(i).toUInt();
        if (octet > 255)
            return std::nullopt;
        value = value << 8 | octet;
    }
    return value;
}

// The first 16 bits of an IPv6 address: every prefix asked about lies within them. An
// address that begins with "::" begins with zeros; a zone index ("%eth0") names the interface.
std::optional<quint16> Ipv6FirstGroup(const QString& address)
{
    static const QRegularExpression shape(u"^([0-9a-f]{0,4}):[0-9a-f:.]*(%.+)?$"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(address);
    if (!match.hasMatch() || (match.capturedLength(1) == 0 && !address.startsWith("::"_L1)))
        return std::nullopt;
    return static_cast<quint16>(match.capturedView(1).toUInt(nullptr, 16));
}

bool InRange(quint32 value, quint32 network, int prefixBits)
{
    const quint32 mask = ~quint32(0) << (32 - prefixBits);
    return (value & mask) == network;
}

} // namespace

bool IsPrivateAddress(const QString& address)
{
    if (const std::optional<quint32> v4 = Ipv4(address)) {
        return InRange(*v4, 0x0A000000, 8) || InRange(*v4, 0xAC100000, 12) ||
               InRange(*v4, 0xC0A80000, 16) || InRange(*v4, 0x64400000, 10) ||
               InRange(*v4, 0xA9FE0000, 16);
    }
    if (const std::optional<quint16> group = Ipv6FirstGroup(address))
        return (*group & 0xFE00) == 0xFC00 || (*group & 0xFFC0) == 0xFE80;
    return false;
}

bool IsUsableAddress(const QString& address, bool ipv6)
{
    if (!ipv6) {
        const std::optional<quint32> v4 = Ipv4(address);
        return v4 && !InRange(*v4, 0, 8) && !InRange(*v4, 0x7F000000, 8) && *v4 < 0xE0000000;
    }
    QHostAddress v6;
    bool mapped = false;
    if (address.contains(u'%') || !v6.setAddress(address) ||
        v6.protocol() != QAbstractSocket::IPv6Protocol)
        return false;
    v6.toIPv4Address(&mapped);
    return !mapped && !v6.isNull() && !v6.isLoopback() && !v6.isMulticast() &&
           v6 != QHostAddress(QHostAddress::AnyIPv6);
}

QString PrivateAddressNotice(const QString& address)
{
    return u"The address %1 is private and cannot be reached from the Internet; to publish the "
           "address the Internet sees, choose \"public\" in File > Properties, Connection "
           "identifier"_s.arg(address);
}
