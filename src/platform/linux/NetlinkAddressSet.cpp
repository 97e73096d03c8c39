#include "platform/linux/NetlinkAddressSet.h"

#include <cstring>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

namespace {

using Pair = NetlinkAddressSet::Pair;
using Pairs = NetlinkAddressSet::Pairs;

constexpr std::size_t align(std::size_t length)
{
    return (length + NLMSG_ALIGNTO - 1) & ~std::size_t(NLMSG_ALIGNTO - 1);
}

template <typename T> T readAt(const char* data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// Flags of an IPv6 address the world cannot use, or not yet. IFA_F_TEMPORARY is
// IFA_F_SECONDARY for IPv4, so these are not asked of IPv4 addresses.
constexpr quint32 kUnusable6 =
    IFA_F_TEMPORARY | IFA_F_DEPRECATED | IFA_F_TENTATIVE | IFA_F_DADFAILED;

// What an address message says: the interface's own address, IFA_LOCAL where the link has a
// peer (IFA_ADDRESS is then the peer's), IFA_ADDRESS otherwise; and whether it counts.
bool addressPair(const char* payload, std::size_t length, Pair* pair, bool* counts)
{
    if (length < sizeof(ifaddrmsg))
        return false;
    const auto message = readAt<ifaddrmsg>(payload);
    if (message.ifa_family != AF_INET && message.ifa_family != AF_INET6)
        return false;
    const std::size_t size = message.ifa_family == AF_INET ? 4 : 16;
    // IFA_FLAGS carries the flags that do not fit the message's eight bits.
    quint32 flags = message.ifa_flags;
    bool preferred = true;
    bool found = false;
    for (std::size_t offset = align(sizeof(ifaddrmsg)); offset + sizeof(rtattr) <= length;) {
        const auto attribute = readAt<rtattr>(payload + offset);
        if (attribute.rta_len < sizeof(rtattr) || offset + attribute.rta_len > length)
            break;
        const char* value = payload + offset + RTA_LENGTH(0);
        const bool wanted =
            attribute.rta_type == IFA_LOCAL || (attribute.rta_type == IFA_ADDRESS && !found);
        if (wanted && attribute.rta_len >= RTA_LENGTH(size)) {
            *pair = {message.ifa_index, QByteArray(value, static_cast<qsizetype>(size))};
            found = true;
        } else if (attribute.rta_type == IFA_FLAGS && attribute.rta_len >= RTA_LENGTH(4)) {
            flags |= readAt<quint32>(value);
        } else if (attribute.rta_type == IFA_CACHEINFO &&
                   attribute.rta_len >= RTA_LENGTH(sizeof(ifa_cacheinfo))) {
            preferred = readAt<ifa_cacheinfo>(value).ifa_prefered != 0;
        }
        offset += align(attribute.rta_len);
    }
    *counts = message.ifa_family == AF_INET ||
              (message.ifa_scope == RT_SCOPE_UNIVERSE && (flags & kUnusable6) == 0 && preferred);
    return found;
}

bool apply(Pairs& pairs, const Pair& pair, bool added)
{
    return added ? pairs.insert(pair).second : pairs.erase(pair) > 0;
}

} // namespace

void NetlinkAddressSet::DumpRequested(quint32 sequence)
{
    m_dumpSeq = sequence;
    m_dumping = true;
    m_fresh.clear();
}

bool NetlinkAddressSet::Read(const char* data, std::size_t length)
{
    bool changed = false;
    for (std::size_t offset = 0; offset + sizeof(nlmsghdr) <= length;) {
        const auto header = readAt<nlmsghdr>(data + offset);
        if (header.nlmsg_len < sizeof(nlmsghdr) || offset + header.nlmsg_len > length)
            break;
        // The answers to our own request; everything else is an announcement.
        const bool answer = header.nlmsg_pid == m_portId && header.nlmsg_seq == m_dumpSeq;
        const char* payload = data + offset + NLMSG_HDRLEN;
        const std::size_t payloadLength = header.nlmsg_len - NLMSG_HDRLEN;
        Pair pair{};
        bool counts = true;
        if ((header.nlmsg_type == RTM_NEWADDR || header.nlmsg_type == RTM_DELADDR) &&
            addressPair(payload, payloadLength, &pair, &counts)) {
            // An address that does not count is as good as gone.
            const bool added = header.nlmsg_type == RTM_NEWADDR && counts;
            if (answer) {
                if (added)
                    m_fresh.insert(pair);
            } else {
                changed = (apply(m_held, pair, added) && !m_initial) || changed;
                if (m_dumping)
                    apply(m_fresh, pair, added);
            }
        } else if (answer && header.nlmsg_type == NLMSG_DONE) {
            changed = (!m_initial && m_fresh != m_held) || changed;
            m_held = std::move(m_fresh);
            m_fresh.clear();
            m_dumping = false;
            m_initial = false;
        } else if (answer && header.nlmsg_type == NLMSG_ERROR) {
            m_dumping = false;
            m_initial = false;
        }
        offset += align(header.nlmsg_len);
    }
    return changed;
}
