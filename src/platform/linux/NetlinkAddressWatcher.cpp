// The Linux backend: a netlink route socket subscribed to the IPv4 and IPv6 address groups.

#include "platform/AddressWatcher.h"

#include "platform/linux/NetlinkAddressSet.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <cstring>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class NetlinkAddressWatcher final : public AddressWatcher
{
public:
    NetlinkAddressWatcher()
    {
        m_fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
        const int group = RTNLGRP_IPV4_IFADDR;
        const int group6 = RTNLGRP_IPV6_IFADDR;
        sockaddr_nl self{};
        self.nl_family = AF_NETLINK;
        socklen_t size = sizeof self;
        // Joining the group comes after the bind, which would otherwise set the groups back.
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&self), sizeof self) != 0 ||
            ::setsockopt(m_fd, SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &group, sizeof group) != 0 ||
            ::setsockopt(m_fd, SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &group6, sizeof group6) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&self), &size) != 0 || !requestDump()) {
            m_failure = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_addresses.setPortId(self.nl_pid);
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this,
                         [this] { readPending(); });
    }

    ~NetlinkAddressWatcher() override
    {
        m_notifier.reset();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    QString Failure() const override { return m_failure; }

private:
    // Asks for every address held now, of both families; the answers rebuild the set.
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
        request.body.ifa_family = AF_UNSPEC;
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(m_fd, &request, sizeof request, 0, reinterpret_cast<sockaddr*>(&kernel),
                     sizeof kernel) != static_cast<ssize_t>(sizeof request))
            return false;
        m_addresses.DumpRequested(m_dumpSeq);
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
                changed = m_addresses.Read(buffer.data(), length) || changed;
        }
        // What was lost is unknown, so it counts as a change, and the set is read afresh.
        if (lost && !m_addresses.Dumping())
            requestDump();
        if (changed || (lost && !m_addresses.Initial()))
            emit Changed();
    }

    QString m_failure;
    int m_fd = -1;
    quint32 m_dumpSeq = 0;
    NetlinkAddressSet m_addresses;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace

std::unique_ptr<AddressWatcher> AddressWatcher::ForThisSystem()
{
    return std::make_unique<NetlinkAddressWatcher>();
}
