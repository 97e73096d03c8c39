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

// One route message as the kernel lays it out: header, ifaddrmsg, then attributes.
struct Message
{
    quint16 type;
    int family;
    quint32 index;
    const char* local;   // IFA_LOCAL, or null
    const char* address; // IFA_ADDRESS, or null
    bool answer = false; // part of our dump's answer
};

void appendAttribute(std::string& out, quint16 type, const char* text, int family)
{
    unsigned char raw[16] = {};
    inet_pton(family, text, raw);
    const std::size_t size = family == AF_INET ? 4 : 16;
    rtattr attribute{static_cast<unsigned short>(RTA_LENGTH(size)), type};
    out.append(reinterpret_cast<const char*>(&attribute), sizeof attribute);
    out.append(reinterpret_cast<const char*>(raw), size);
    out.resize(NLMSG_ALIGN(out.size()));
}

std::string datagram(const std::vector<Message>& messages)
{
    std::string out;
    for (const Message& m : messages) {
        std::string body(NLMSG_ALIGN(sizeof(ifaddrmsg)), '\0');
        ifaddrmsg info{};
        info.ifa_family = static_cast<unsigned char>(m.family);
        info.ifa_index = m.index;
        std::memcpy(body.data(), &info, sizeof info);
        if (m.address)
            appendAttribute(body, IFA_ADDRESS, m.address, m.family);
        if (m.local)
            appendAttribute(body, IFA_LOCAL, m.local, m.family);
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
    EXPECT_FALSE(read(set, datagram({{RTM_NEWADDR, AF_INET, 3, "10.1.2.3", "10.0.0.1", true}})));
    EXPECT_TRUE(set.Initial());
    EXPECT_FALSE(read(set, done()));
    EXPECT_FALSE(set.Initial());
    EXPECT_FALSE(set.Dumping());
    // What was announced while the dump ran is held too; a peer's address is not the
    // interface's own.
    const NetlinkAddressSet::Pairs held = {{2u, inet_addr("192.0.2.7")},
                                           {3u, inet_addr("10.1.2.3")}};
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
        {"an IPv6 address", {{RTM_NEWADDR, AF_INET6, 3, nullptr, "2001:db8::5"}}, false},
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
