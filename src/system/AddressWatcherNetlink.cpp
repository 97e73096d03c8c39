// The Linux backend: a netlink route socket subscribed to the IPv4 address group.

#include "system/AddressWatcher.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// (interface index, address in network order)
using Pair = std::pair<quint32, quint32>;
using Pairs = std::set<Pair>;

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

} // namespace

class AddressWatcher::Listener
{
public:
    explicit Listener(AddressWatcher& owner) : m_owner(owner)
    {
        m_fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
        const int group = RTNLGRP_IPV4_IFADDR;
        sockaddr_nl self{};
        self.nl_family = AF_NETLINK;
        socklen_t size = sizeof self;
        // Joining the group comes after the bind, which would otherwise set the groups back.
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&self), sizeof self) != 0 ||
            ::setsockopt(m_fd, SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &group, sizeof group) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&self), &size) != 0 || !requestDump()) {
            m_failure = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_portId = self.nl_pid;
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &owner,
                         [this] { readPending(); });
    }

    ~Listener()
    {
        m_notifier.reset();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    QString m_failure;

private:
    // Asks for every IPv4 address held now; the answers rebuild the set.
    bool requestDump()
    {
        struct
        {
            nlmsghdr header;
            ifaddrmsg body;
        } request{};
        request.header.nlmsg_len = sizeof request;
        request.header.nlmsg_type = RTM_GETADDR;
        request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
        request.header.nlmsg_seq = ++m_dumpSeq;
        request.body.ifa_family = AF_INET;
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(m_fd, &request, sizeof request, 0, reinterpret_cast<sockaddr*>(&kernel),
                     sizeof kernel) != static_cast<ssize_t>(sizeof request))
            return false;
        m_dumping = true;
        m_fresh.clear();
        return true;
    }

    void readPending()
    {
        std::array<char, 32768> buffer;
        bool changed = false;
        bool lost = false;
        for (;;) {
            const ssize_t received =
                ::recv(m_fd, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
            if (received < 0) {
                if (errno == EINTR)
                    continue;
                // The socket's queue overflowed: announcements were lost.
                if (errno == ENOBUFS) {
                    lost = true;
                    continue;
                }
                break;
            }
            const auto length = static_cast<std::size_t>(received);
            if (length > buffer.size())
                lost = true;
            else
                changed = readMessages(buffer.data(), length) || changed;
        }
        // What was lost is unknown, so it counts as a change, and the set is read afresh.
        if (lost && !m_dumping)
            requestDump();
        if (changed || (lost && !m_initial))
            emit m_owner.Changed();
    }

    // True when the messages changed the set held.
    bool readMessages(const char* data, std::size_t length)
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

    static bool apply(Pairs& pairs, const Pair& pair, bool added)
    {
        return added ? pairs.insert(pair).second : pairs.erase(pair) > 0;
    }

    AddressWatcher& m_owner;
    int m_fd = -1;
    quint32 m_portId = 0;
    quint32 m_dumpSeq = 0;
    bool m_dumping = false;
    // Until the first answer is complete there is nothing to compare with.
    bool m_initial = true;
    Pairs m_held;
    Pairs m_fresh;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

AddressWatcher::AddressWatcher(QObject* parent)
    : QObject(parent), m_listener(std::make_unique<Listener>(*this))
{
}

AddressWatcher::~AddressWatcher() = default;

QString AddressWatcher::Failure() const
{
    return m_listener->m_failure;
}
