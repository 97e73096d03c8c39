#include "platform/linux/NetlinkAddressSet.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <string>
#include <vector>

namespace {

constexpr quint32 kPort = 4242;
constexpr quint32 kDumpSeq = 7;
constexpr quint32 kForever = 0xFFFFFFFF; // a lifetime that never ends

// One route message as the kernel lays it out: header, ifaddrmsg, then attributes.
struct Message
{
    quint16 type;
    int family;
    quint32 index;
    const char* local;   // IFA_LOCAL, or null
    const char* address; // IFA_ADDRESS, or null
    bool answer = false; // part of our dump's answer
    quint32 flags = 0;   // IFA_F_*: the low eight bits in ifa_flags, all of them in IFA_FLAGS
    bool flagsAttribute = false; // only in IFA_FLAGS, ifa_flags left empty
    unsigned char scope = RT_SCOPE_UNIVERSE;
    quint32 preferred = kForever; // in IFA_CACHEINFO
};

void appendRaw(std::string& out, quint16 type, const void* data, std::size_t size)
{
    rtattr attribute{static_cast<unsigned short>(RTA_LENGTH(size)), type};
    out.append(reinterpret_cast<const char*>(&attribute), sizeof attribute);
    out.append(static_cast<const char*>(data), size);
    out.resize(NLMSG_ALIGN(out.size()));
}

// An address in network order: 4 bytes for IPv4, 16 for IPv6.
QByteArray addressBytes(const char* text)
{
    const int family = std::strchr(text, ':') ? AF_INET6 : AF_INET;
    unsigned char raw[16] = {};
    inet_pton(family, text, raw);
    return QByteArray(reinterpret_cast<const char*>(raw), family == AF_INET ? 4 : 16);
}

void appendAttribute(std::string& out, quint16 type, const char* text)
{
    const QByteArray raw = addressBytes(text);
    appendRaw(out, type, raw.constData(), static_cast<std::size_t>(raw.size()));
}

std::string datagram(const std::vector<Message>& messages)
{
    std::string out;
    for (const Message& m : messages) {
        std::string body(NLMSG_ALIGN(sizeof(ifaddrmsg)), '\0');
        ifaddrmsg info{};
        info.ifa_family = static_cast<unsigned char>(m.family);
        info.ifa_index = m.index;
        info.ifa_scope = m.scope;
        info.ifa_flags = m.flagsAttribute ? 0 : static_cast<unsigned char>(m.flags);
        std::memcpy(body.data(), &info, sizeof info);
        if (m.address)
            appendAttribute(body, IFA_ADDRESS, m.address);
        if (m.local)
            appendAttribute(body, IFA_LOCAL, m.local);
        const ifa_cacheinfo lifetimes{m.preferred, kForever, 0, 0};
        appendRaw(body, IFA_CACHEINFO, &lifetimes, sizeof lifetimes);
        appendRaw(body, IFA_FLAGS, &m.flags, sizeof m.flags);
        nlmsghdr header{};
        header.nlmsg_len = static_cast<quint32>(NLMSG_HDRLEN + body.size());
        header.nlmsg_type = m.type;
        header.nlmsg_pid = m.answer ? kPort : 0;
        header.nlmsg_seq = m.answer ? kDumpSeq : 0;
        std::string raw(NLMSG_HDRLEN, '\0');
        std::memcpy(raw.data(), &header, sizeof header);
        out += raw + body;
    }
    return out;
}

std::string done()
{
    nlmsghdr header{};
    header.nlmsg_len = NLMSG_HDRLEN + sizeof(int);
    header.nlmsg_type = NLMSG_DONE;
    header.nlmsg_pid = kPort;
    header.nlmsg_seq = kDumpSeq;
    std::string raw(header.nlmsg_len, '\0');
    std::memcpy(raw.data(), &header, sizeof header);
    return raw;
}

bool read(NetlinkAddressSet& set, const std::string& bytes)
{
    return set.Read(bytes.data(), bytes.size());
}

// A set whose first dump found ppp0 (index 3) holding 10.1.2.3 with peer 10.0.0.1.
NetlinkAddressSet started()
{
    NetlinkAddressSet set;
    set.setPortId(kPort);
    set.DumpRequested(kDumpSeq);
    read(set, datagram({{RTM_NEWADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1", true}}) + done());
    return set;
}

} // namespace

TEST(NetlinkAddressSet, TheFirstDumpIsTheBaseAndNothingBeforeItCounts)
{
    NetlinkAddressSet set;
    set.setPortId(kPort);
    set.DumpRequested(kDumpSeq);
    EXPECT_FALSE(read(set, datagram({{RTM_NEWADDR, AF_INET, 2, nullptr, "192.0.2.7"}})));
    EXPECT_FALSE(read(
        set,
        datagram({{RTM_NEWADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1", true},
                  {RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5", true},
                  {RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::99", true, IFA_F_TEMPORARY},
                  {RTM_NEWADDR, AF_INET6, 3, nullptr, "fe80::5", true, 0, false, RT_SCOPE_LINK}})));
    EXPECT_TRUE(set.Initial());
    EXPECT_FALSE(read(set, done()));
    EXPECT_FALSE(set.Initial());
    EXPECT_FALSE(set.Dumping());
    // What was announced while the dump ran is held too; a peer's address is not the
    // interface's own, and temporary and link-local IPv6 addresses are not held.
    const NetlinkAddressSet::Pairs held = {{2u, addressBytes("192.0.2.7")},
                                           {3u, addressBytes("10.1.2.3")},
                                           {3u, addressBytes("2001:db8::5")}};
    EXPECT_EQ(set.Held(), held);
}

TEST(NetlinkAddressSet, OnlyARealChangeOfTheAddressesCounts)
{
    struct Case
    {
        const char* what;
        std::vector<Message> messages;
        bool changed;
    };
    const std::vector<Case> cases = {
        {"a lifetime refresh", {{RTM_NEWADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1"}}, false},
        {"a new address", {{RTM_NEWADDR, AF_INET, 3, "10.1.2.4", "10.0.0.1"}}, true},
        {"the address removed", {{RTM_DELADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1"}}, true},
        {"an unknown address removed", {{RTM_DELADDR, AF_INET, 5, nullptr, "192.0.2.9"}}, false},
        {"the same address on another interface",
         {{RTM_NEWADDR, AF_INET, 4, nullptr, "10.1.2.3"}},
         true},
        {"a global IPv6 address", {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5"}}, true},
        {"a link-local IPv6 address",
         {{RTM_NEWADDR, AF_INET6, 3, nullptr, "fe80::5", false, 0, false, RT_SCOPE_LINK}},
         false},
        {"a temporary IPv6 address",
         {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::99", false, IFA_F_TEMPORARY}},
         false},
        {"a deprecated IPv6 address",
         {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5", false, IFA_F_DEPRECATED}},
         false},
        {"an IPv6 address past its preferred lifetime",
         {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5", false, 0, false, RT_SCOPE_UNIVERSE,
           0}},
         false},
        {"a tentative IPv6 address flagged in IFA_FLAGS only",
         {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5", false, IFA_F_TENTATIVE, true}},
         false},
        {"an IPv6 address that failed duplicate detection",
         {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5", false,
           IFA_F_DADFAILED | IFA_F_TENTATIVE}},
         false},
        {"an IPv6 address with flags beyond eight bits",
         {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5", false,
           IFA_F_MANAGETEMPADDR | IFA_F_NOPREFIXROUTE, true}},
         true},
        {"an IPv4 address is taken whatever its flags and lifetime",
         {{RTM_NEWADDR, AF_INET, 4, nullptr, "192.0.2.9", false, IFA_F_SECONDARY | IFA_F_DEPRECATED,
           false, RT_SCOPE_LINK, 0}},
         true},
        {"a burst that ends where it began",
         {{RTM_DELADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1"},
          {RTM_NEWADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1"}},
         true},
    };
    for (const Case& c : cases) {
        NetlinkAddressSet set = started();
        EXPECT_EQ(read(set, datagram(c.messages)), c.changed) << c.what;
    }
}

// One interface's IPv6 addresses over time: only becoming usable or unusable counts, so a
// machine with privacy extensions is not republished each time a temporary address rotates.
TEST(NetlinkAddressSet, AnIPv6AddressCountsWhileTheWorldCanUseIt)
{
    const auto v6 = [](quint16 type, const char* address, quint32 flags = 0) {
        return Message{type, AF_INET6, 3, nullptr, address, false, flags};
    };
    const struct
    {
        const char* what;
        std::vector<Message> messages;
        bool changed;
    } steps[] = {
        {"added, tentative", {v6(RTM_NEWADDR, "2001:db8::6", IFA_F_TENTATIVE)}, false},
        {"duplicate detection done", {v6(RTM_NEWADDR, "2001:db8::6")}, true},
        {"a lifetime refresh", {v6(RTM_NEWADDR, "2001:db8::6")}, false},
        {"a temporary address comes and the previous one is deprecated",
         {v6(RTM_NEWADDR, "2001:db8::a1", IFA_F_TEMPORARY | IFA_F_TENTATIVE),
          v6(RTM_NEWADDR, "2001:db8::a1", IFA_F_TEMPORARY),
          v6(RTM_NEWADDR, "2001:db8::a0", IFA_F_TEMPORARY | IFA_F_DEPRECATED)},
         false},
        {"the old temporary address is removed",
         {v6(RTM_DELADDR, "2001:db8::a0", IFA_F_TEMPORARY | IFA_F_DEPRECATED)},
         false},
        {"deprecated", {v6(RTM_NEWADDR, "2001:db8::6", IFA_F_DEPRECATED)}, true},
        {"removed once deprecated", {v6(RTM_DELADDR, "2001:db8::6", IFA_F_DEPRECATED)}, false},
        {"a new global address", {v6(RTM_NEWADDR, "2001:db8::7")}, true},
        {"removed", {v6(RTM_DELADDR, "2001:db8::7")}, true},
    };
    NetlinkAddressSet set = started();
    for (const auto& step : steps)
        EXPECT_EQ(read(set, datagram(step.messages)), step.changed) << step.what;
    EXPECT_EQ(set.Held().size(), 1u) << "only ppp0's IPv4 address is left";
}

TEST(NetlinkAddressSet, AFreshDumpCountsOnlyWhenItDiffersAndBrokenBytesAreIgnored)
{
    NetlinkAddressSet same = started();
    same.DumpRequested(kDumpSeq);
    EXPECT_FALSE(
        read(same, datagram({{RTM_NEWADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1", true}}) + done()));

    NetlinkAddressSet moved = started();
    moved.DumpRequested(kDumpSeq);
    EXPECT_TRUE(
        read(moved, datagram({{RTM_NEWADDR, AF_INET, 3, "10.9.9.9", "10.0.0.1", true}}) + done()));

    NetlinkAddressSet set = started();
    std::string bytes = datagram({{RTM_NEWADDR, AF_INET, 3, "10.1.2.4", nullptr}});
    for (std::size_t cut = 1; cut < bytes.size(); ++cut)
        EXPECT_FALSE(set.Read(bytes.data(), cut)) << "cut at " << cut;
    // A header that claims more than the datagram holds, or less than itself, ends the read.
    auto* header = reinterpret_cast<nlmsghdr*>(bytes.data());
    header->nlmsg_len = 4;
    EXPECT_FALSE(read(set, bytes));
    EXPECT_EQ(set.Held().size(), 1u);
}
