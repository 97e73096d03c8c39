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

// The interface's own address from an address message: IFA_LOCAL where the link has a peer
// (IFA_ADDRESS is then the peer's), IFA_ADDRESS otherwise.
bool addressPair(const char* payload, std::size_t length, Pair* pair)
{
    if (length < sizeof(ifaddrmsg))
        return false;
    const auto message = readAt<ifaddrmsg>(payload);
    if (message.ifa_family != AF_INET)
        return false;
    bool found = false;
    for (std::size_t offset = align(sizeof(ifaddrmsg)); offset + sizeof(rtattr) <= length;) {
        const auto attribute = readAt<rtattr>(payload + offset);
        if (attribute.rta_len < sizeof(rtattr) || offset + attribute.rta_len > length)
            break;
        const bool wanted =
            attribute.rta_type == IFA_LOCAL || (attribute.rta_type == IFA_ADDRESS && !found);
        if (wanted && attribute.rta_len >= RTA_LENGTH(sizeof(quint32))) {
            *pair = {message.ifa_index, readAt<quint32>(payload + offset + RTA_LENGTH(0))};
            found = true;
        }
        offset += align(attribute.rta_len);
    }
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
        if ((header.nlmsg_type == RTM_NEWADDR || header.nlmsg_type == RTM_DELADDR) &&
            addressPair(payload, payloadLength, &pair)) {
            const bool added = header.nlmsg_type == RTM_NEWADDR;
            if (answer) {
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
