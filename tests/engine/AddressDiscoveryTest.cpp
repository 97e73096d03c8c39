#include "support/EngineRig.h"
#include "support/PrivateNetwork.h"

#include "engine/AddressDiscovery.h"
#include "engine/PrivateAddress.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Reading
{
    QString address;
    QString ipv6;
    QStringList history;
};

Reading readListing(QByteArray text, const QString& identity)
{
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Reading reading;
    reading.address = ReadAdapterAddress(
        buffer, identity, [&](const QString& msg) { reading.history.append(msg); }, &reading.ipv6);
    return reading;
}

QByteArray sharedListing(const char* name)
{
    QFile file(QStringLiteral(HOSTVANE_LISTINGS_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray withCrLf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

TEST(ReadAdapterAddress, ListingsPrintedByWindowsNt)
{
    for (const bool crlf : {false, true}) {
        const auto listing = [crlf](const char* name) {
            return crlf ? withCrLf(sharedListing(name)) : sharedListing(name);
        };
        const Reading one = readListing(listing("nt4-ndiswan-1.txt"), QStringLiteral("NdisWan"));
        EXPECT_EQ(one.address, QStringLiteral("130.80.0.51"));
        EXPECT_EQ(
            one.history,
            QStringList({QStringLiteral("Adapter found at: Ethernet adapter NdisWan4:"),
                         QStringLiteral("IP Found at: IP Address. . . . . . . . . : 130.80.0.51"),
                         QStringLiteral("IP resolved: 130.80.0.51")}));

        const Reading four = readListing(listing("nt4-ndiswan-4.txt"), QStringLiteral("NdisWan"));
        EXPECT_EQ(four.address, QString());
        EXPECT_EQ(four.history.last(), QStringLiteral("IP resolved: 0.0.0.0"));

        const Reading lanOnly =
            readListing(listing("nt4-lan-only-1.txt"), QStringLiteral("NdisWan"));
        EXPECT_EQ(lanOnly.address, QString());
        EXPECT_TRUE(lanOnly.history.isEmpty());
    }
}

TEST(ReadAdapterAddress, RewrappedListingGivesTheTextAfterTheFirstColonWhole)
{
    const QByteArray text = sharedListing("nt4-ndiswan-5.txt");
    const Reading reading = readListing(text, QStringLiteral("NdisWan"));
    // The first "IP Address" line after the first NdisWan line, whatever stands after its
    // first colon.
    QString expected;
    bool adapter = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromLatin1(raw);
        if (!adapter) {
            adapter = line.contains(QStringLiteral("NdisWan"));
            continue;
        }
        if (line.contains(QStringLiteral("IP Address"))) {
            expected = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
            break;
        }
    }
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(reading.address, expected);
    EXPECT_EQ(reading.history.last(), QStringLiteral("IP resolved: ") + expected);
}

TEST(ReadAdapterAddress, MatchingRules)
{
    const struct
    {
        const char* name;
        QByteArray listing;
        const char* identity;
        const char* address;
        int historyLines;
    } cases[] = {
        {"identity and label in any case", "x NDISWAN y\n  ip address : 10.1.2.3\n", "ndiswan",
         "10.1.2.3", 3},
        {"address line before the adapter is ignored",
         "IP Address: 1.1.1.1\nNdisWan\nIP Address: 2.2.2.2\n", "NdisWan", "2.2.2.2", 3},
        {"first address after the adapter, even in a later section",
         "NdisWan5:\nSubnet Mask: 0\nEthernet eth1:\nIP Address: 3.3.3.3\nIP Address: 4.4.4.4\n",
         "NdisWan", "3.3.3.3", 3},
        {"trailing remark is kept, blanks trimmed", "NdisWan\nIP Address:  10.1.2.3 (ppp)  \n",
         "NdisWan", "10.1.2.3 (ppp)", 3},
        {"tabs are not trimmed", "NdisWan\nIP Address:\t10.1.2.3\n", "NdisWan", "\t10.1.2.3", 3},
        {"no colon stops the search", "NdisWan\nIP Address 10.1.2.3\nIP Address: 5.5.5.5\n",
         "NdisWan", "", 2},
        {"no address line after the adapter", "NdisWan\nSubnet Mask: 0\n", "NdisWan", "", 1},
        {"empty identity takes the first line with text",
         "\nWindows NT IP Configuration\nIP Address: 6.6.6.6\n", "", "6.6.6.6", 3},
        {"the first colon, not the address's own", "NdisWan\nIP Address: fe80::1\n", "NdisWan",
         "fe80::1", 3},
    };
    for (const auto& c : cases) {
        const Reading reading = readListing(c.listing, QLatin1String(c.identity));
        EXPECT_EQ(reading.address, QLatin1String(c.address)) << c.name;
        EXPECT_EQ(reading.history.size(), c.historyLines) << c.name;
    }
}

TEST(ListedAdapters, RealListingsAndTheHintMadeOfThem)
{
    TempWorld world;
    world.writeFile(
        QStringLiteral("ours.ip"),
        "NdisWan adapter ppp0 (PPP Adapter):\n  IP Address. . : 10.1.2.3\n"
        "Ethernet adapter wlan0:\n  IP Address. . : 0.0.0.0\n  IP Address. . : 1.2.3.4\n"
        "PPP adapter Dial-up Connection:\n  Description . . : Modem\n");
    const auto hint = [](const char* listed) {
        return QStringLiteral("The address report listed: %1; choose one in File > Properties, "
                              "Connection identifier")
            .arg(QLatin1String(listed));
    };
    EXPECT_EQ(ListedAdaptersHint(ListedAdapters(QStringLiteral("ours.ip"))),
              hint("ppp0 10.1.2.3, wlan0 0.0.0.0, Dial-up Connection"));
    QList<ListedAdapter> nt =
        ListedAdapters(QStringLiteral(HOSTVANE_LISTINGS_DIR "/nt4-ndiswan-4.txt"));
    EXPECT_EQ(ListedAdaptersHint(nt), hint("EE161 22.101.102.207, NdisWan5 0.0.0.0, NdisWan9"));
    nt += nt;
    EXPECT_EQ(ListedAdaptersHint(nt), hint("EE161 22.101.102.207, NdisWan5 0.0.0.0, NdisWan9, "
                                           "EE161 22.101.102.207 and 2 more"));
    EXPECT_EQ(ListedAdaptersHint(ListedAdapters(QStringLiteral("missing.ip"))),
              QStringLiteral("The address report listed no adapter"));
}

TEST(IsPrivateAddress, RangesAndTheirEdges)
{
    for (const char* address : {"10.0.0.0", "10.255.255.255", "172.16.0.1", "172.31.255.255",
                                "192.168.1.20", "100.64.0.0", "100.127.255.255", "169.254.7.1",
                                "fc00::1", "fd12::5", "FE80::1", "febf::1", "fe80::1%eth0"})
        EXPECT_TRUE(IsPrivateAddress(QLatin1String(address))) << address;
    for (const char* address :
         {"9.255.255.255", "11.0.0.0", "172.15.255.255", "172.32.0.0", "192.169.0.1", "100.63.0.1",
          "100.128.0.0", "169.255.0.1", "203.0.113.7", "fe00::1", "fec0::1", "2001:db8::5", "::1",
          "", "10.1.2.3 (ppp)", "256.1.1.1", "10.1.2", "fd12::5 x", "fc00"})
        EXPECT_FALSE(IsPrivateAddress(QLatin1String(address))) << address;
}

// Only an address the world can reach goes onto the page; private ones do, with their notice.
TEST(IsUsableAddress, OneAddressOfItsFamilyThatReachesSomeone)
{
    for (const char* address : {"203.0.113.7", "10.1.2.3", "1.0.0.0", "223.255.255.255"})
        EXPECT_TRUE(IsUsableAddress(QLatin1String(address), false)) << address;
    for (const char* address :
         {"", "0.0.0.0", "0.1.2.3", "127.0.0.1", "224.0.0.1", "255.255.255.255", "010.1.2.3",
          "10.1.2", "256.1.1.1", "2001:db8::5", "\"><script>alert(1)</script>", "10.1.2.3 x"})
        EXPECT_FALSE(IsUsableAddress(QLatin1String(address), false)) << address;
    for (const char* address : {"2001:db8::5", "fd12::5", "2001:DB8:0:0:0:0:0:1"})
        EXPECT_TRUE(IsUsableAddress(QLatin1String(address), true)) << address;
    for (const char* address : {"", "::", "::1", "ff02::1", "::ffff:10.1.2.3", "fe80::1%eth0",
                                "x\"><img onerror=alert(1)>", "2001:db8::5 x", "10.1.2.3"})
        EXPECT_FALSE(IsUsableAddress(QLatin1String(address), true)) << address;
}

TEST(ReadAdapterAddress, TheIPv6AddressIsTheFirstOfTheAdaptersOwnSection)
{
    const QByteArray ppp0 = "NdisWan adapter ppp0 (PPP Adapter):\n\n";
    const QByteArray eth0 = "Ethernet adapter eth0:\n\n";
    const QByteArray ip = "        IP Address. . . . . . . . . : ";
    const QByteArray ip6 = "        IPv6 Address. . . . . . . . : ";
    const struct
    {
        const char* name;
        QByteArray listing;
        const char* address;
        const char* ipv6;
    } cases[] = {
        {"both, as the shipped scripts write them",
         ppp0 + ip + "10.1.2.3\n" + ip6 + "2001:db8:1::5\n" + ip6 + "2001:db8:1::6\n\n" + eth0 +
             ip6 + "2001:db8:2::20\n",
         "10.1.2.3", "2001:db8:1::5"},
        {"IPv6 before IPv4", ppp0 + ip6 + "2001:db8:1::5\n" + ip + "10.1.2.3\n", "10.1.2.3",
         "2001:db8:1::5"},
        {"no IPv4 address", ppp0 + ip + "0.0.0.0\n" + ip6 + "2001:db8:1::5\n", "", "2001:db8:1::5"},
        {"another adapter's IPv6 address is not the adapter's",
         ppp0 + ip + "10.1.2.3\n\n" + eth0 + ip6 + "2001:db8:2::20\n", "10.1.2.3", ""},
        {"an IPv6 line is no IPv4 line, which may lie in a later section",
         ppp0 + ip6 + "2001:db8:1::5\n" + eth0 + ip + "192.168.1.20\n", "192.168.1.20",
         "2001:db8:1::5"},
        {"an indented header as Windows NT writes it ends the section too",
         ppp0 + ip + "10.1.2.3\n\n   Ethernet adapter EE161:\n" + ip6 + "2001:db8:2::20\n",
         "10.1.2.3", ""},
        {"an indented line ending in a colon is no header",
         ppp0 + ip + "10.1.2.3\n  Remarks:\n" + ip6 + "2001:db8:1::5\n", "10.1.2.3",
         "2001:db8:1::5"},
        {"a line with both labels is the IPv4 line",
         ppp0 + "IP Address and IPv6 Address: 10.1.2.3\n", "10.1.2.3", ""},
        {"the first line in any case counts, and without a colon it gives none",
         ppp0 + ip + "10.1.2.3\n  ipv6 address none\n" + ip6 + "2001:db8:1::5\n", "10.1.2.3", ""},
    };
    for (const auto& c : cases) {
        const Reading reading = readListing(c.listing, QStringLiteral("NdisWan"));
        EXPECT_EQ(reading.address, QLatin1String(c.address)) << c.name;
        EXPECT_EQ(reading.ipv6, QLatin1String(c.ipv6)) << c.name;
        // The IPv6 line comes right after the IPv4 lines, and only with an address.
        const qsizetype lines = reading.history.size();
        ASSERT_GE(lines, 2) << c.name;
        EXPECT_TRUE(reading.history.at(lines - (*c.ipv6 ? 2 : 1))
                        .startsWith(QStringLiteral("IP resolved: ")))
            << c.name;
        if (*c.ipv6) {
            EXPECT_EQ(reading.history.last(),
                      QStringLiteral("IPv6 resolved: ") + QLatin1String(c.ipv6))
                << c.name;
        }
    }
}

TEST(GetIP, RunsTheScriptAndReadsItsListing)
{
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QStringLiteral("10.1.2.3"));
    EXPECT_TRUE(rig.prompt.shown.isEmpty());

    rig.world.installListingScript(DialUpListing("0.0.0.0", "2001:db8::5"));
    QString ipv6;
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan"), &ipv6), QString());
    EXPECT_EQ(ipv6, QStringLiteral("2001:db8::5"));

    // Markup where an address belongs is never handed on, and the history says why.
    rig.world.installListingScript(DialUpListing("\"><script>x</script>", "::1"));
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan"), &ipv6), QString());
    EXPECT_EQ(ipv6, QString());
    EXPECT_TRUE(rig.host.history.contains(
        QStringLiteral("Not a usable IPv4 address: \"><script>x</script>")));
    EXPECT_TRUE(rig.host.history.contains(QStringLiteral("Not a usable IPv6 address: ::1")));
}

TEST(GetIP, PlatformPicksTheScript)
{
    EngineRig rig(cWinVer::Windows95);
    rig.world.installListingScript(DialUpListing("10.9.9.9"));
    rig.world.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 4\n", true);
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("PPP Adapter")), QStringLiteral("10.9.9.9"));
}

// Only the identity "public" asks the Internet; every other identity reads the adapters.
TEST(GetIP, ThePublicIdentityRunsThePublicAddressReport)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("getip-public.sh"),
                        "#!/bin/sh\nprintf 'public:\\n IP Address: 203.0.113.7\\n' > hostvane.ip\n",
                        true);
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    const std::pair<const char*, const char*> cases[] = {{"public", "203.0.113.7"},
                                                         {"PUBLIC", "203.0.113.7"},
                                                         {"ppp0", "10.1.2.3"},
                                                         {"publicity", ""},
                                                         {" public", ""}};
    for (const auto& [identity, address] : cases) {
        QFile::remove(QStringLiteral("hostvane.ip"));
        EXPECT_EQ(rig.discovery.GetIP(QLatin1String(identity)), QLatin1String(address)) << identity;
    }
}

TEST(GetIP, FailingScriptIsReportedAndTheStaleListingIsNotRead)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("hostvane.ip"), DialUpListing("10.1.2.3"));
    // The script's last words name why it failed, escaped: a terminal reading the journal
    // must not take them as commands.
    rig.world.writeFile(QStringLiteral("getipNT.bat"),
                        "#!/bin/sh\necho first >&2\nprintf 'no route\\033[2J\\n\\n' >&2\nexit 3\n",
                        true);
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QString());
    const QString said =
        QStringLiteral("error: 3 running getip.bat (getipNT.bat: no route\\x1b[2J)");
    ASSERT_EQ(rig.prompt.shown.size(), 1);
    EXPECT_EQ(rig.prompt.shown[0].text, said);
    EXPECT_EQ(rig.prompt.shown[0].title, QStringLiteral("HostVane"));
    EXPECT_EQ(rig.prompt.shown[0].buttons, Prompt::Buttons::Ok);
    EXPECT_EQ(rig.host.history, QStringList({said}));

    // While that box is still open, the next failure is not stacked over it: the history has
    // it, and the check goes on.
    rig.prompt.noticeOpen = true;
    rig.world.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 4\n", true);
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QString());
    EXPECT_EQ(rig.prompt.shown.size(), 1);
    EXPECT_EQ(rig.host.history.last(), QStringLiteral("error: 4 running getip.bat (getipNT.bat)"));
}

TEST(GetIP, StaleListingIsReadWhenTheScriptSucceedsWithoutWriting)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("hostvane.ip"), DialUpListing("10.4.4.4"));
    rig.world.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 0\n", true);
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QStringLiteral("10.4.4.4"));

    QFile::remove(QStringLiteral("hostvane.ip"));
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QString());
    EXPECT_TRUE(rig.prompt.shown.isEmpty());
}

TEST(GetIP, ShippedScriptListsThisMachine)
{
    EngineRig rig;
    // The loopback interface is left out; every other one has a section and an address line.
    rig.discovery.GetIP(QStringLiteral("NdisWan"));
    ASSERT_TRUE(rig.prompt.shown.isEmpty()) << rig.prompt.shown[0].text.toStdString();
    const QByteArray listing = rig.world.readFile(QStringLiteral("hostvane.ip"));
    EXPECT_TRUE(listing.startsWith("HostVane IP Configuration\n"));
    EXPECT_FALSE(listing.contains("adapter lo:"));
    EXPECT_EQ(listing.count("adapter "), listing.count("IP Address. . . . . . . . . : "));
}

// A section as the shipped script writes it, from "header|IPv4|IPv6|IPv6...".
QString scriptSection(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    QString section = QLatin1Char('\n') + parts[0] +
                      QStringLiteral("\n\n        IP Address. . . . . . . . . : ") + parts[1] +
                      QLatin1Char('\n');
    for (const QString& address : parts.mid(2))
        section +=
            QStringLiteral("        IPv6 Address. . . . . . . . : ") + address + QLatin1Char('\n');
    return section;
}

TEST(GetIP, ShippedScriptListsTheWanConnectionFirstWithUsableIpv6)
{
    const QByteArray eth0 = "tuntap add dev eth0 mode tap\nlink set eth0 up\n";
    const QByteArray wlan0 = "tuntap add dev wlan0 mode tap\nlink set wlan0 up\n";
    const QByteArray ethRoute =
        "addr add 192.168.1.20/24 dev eth0\nroute add default via 192.168.1.1\n";
    const QString ethWan = QStringLiteral("NdisWan adapter eth0 (default route):|192.168.1.20");
    const struct
    {
        const char* name;
        QByteArray commands;       // ip commands in a fresh network namespace
        QStringList sections;      // "header|IPv4|IPv6...", in the listing's order
        QString wan;               // found by the default identity
        QString eth0;              // found by the identity "eth0"
        QByteArrayList flags = {}; // what `ip addr` must show, so the case holds what it tests
    } cases[] = {
        {"a public address on the default route",
         eth0 + "addr add 203.0.113.5/24 dev eth0\naddr add 203.0.113.6/24 dev eth0\n"
                "route add default via 203.0.113.1\n",
         {QStringLiteral("NdisWan adapter eth0 (default route):|203.0.113.5")},
         QStringLiteral("203.0.113.5"),
         QStringLiteral("203.0.113.5")},
        {"a private one, on the default route of the lowest metric",
         wlan0 +
             "addr add 192.168.2.30/24 dev wlan0\nroute add default via 192.168.2.1 metric 9\n" +
             eth0 + ethRoute,
         {ethWan, QStringLiteral("Ethernet adapter wlan0:|192.168.2.30")},
         QStringLiteral("192.168.1.20"),
         QStringLiteral("192.168.1.20")},
        {"no default route and no point-to-point link",
         eth0 + "addr add 192.168.1.20/24 dev eth0\n",
         {QStringLiteral("Ethernet adapter eth0:|192.168.1.20")},
         {},
         QStringLiteral("192.168.1.20")},
        {"ppp0 before the default route",
         eth0 + ethRoute +
             "tuntap add dev ppp0 mode tun\naddr add 10.64.0.2 peer 10.64.0.1 dev ppp0\n"
             "link set ppp0 up\n",
         {QStringLiteral("NdisWan adapter ppp0 (PPP Adapter):|10.64.0.2"), ethWan},
         QStringLiteral("10.64.0.2"),
         QStringLiteral("192.168.1.20")},
        {"only IPv6, and its default route",
         eth0 + "addr add 2001:db8::5/64 dev eth0 nodad\nroute add default via 2001:db8::1\n",
         {QStringLiteral("NdisWan adapter eth0 (default route):|0.0.0.0|2001:db8::5")},
         {},
         {}},
        {"usable IPv6 only, unique-local when nothing better",
         wlan0 + "addr add 2001:db8:1::7/64 dev wlan0\naddr add fd00:1::1/64 dev wlan0 nodad\n" +
             eth0 + "link set eth0 arp off\n" + ethRoute +
             "addr add 2001:db8::5/64 dev eth0 mngtmpaddr\naddr add fe80::5/64 dev eth0\n"
             "addr add 2001:db8::6/64 dev eth0 preferred_lft 0\naddr add fd00::8/64 dev eth0\n",
         {ethWan + QStringLiteral("|2001:db8::5"),
          QStringLiteral("Ethernet adapter wlan0:|0.0.0.0|fd00:1::1")},
         QStringLiteral("192.168.1.20"),
         QStringLiteral("192.168.1.20"),
         {"temporary", "scope link", "deprecated", "tentative"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PrivateNetwork network;
        if (!network.failure().isEmpty())
            GTEST_SKIP() << "needs a private network namespace: " << network.failure();
        // Temporary addresses for mngtmpaddr; /proc/sys/net is the opening thread's namespace.
        QFile tempaddr(QStringLiteral("/proc/sys/net/ipv6/conf/default/use_tempaddr"));
        ASSERT_TRUE(tempaddr.open(QIODevice::WriteOnly) && tempaddr.write("2") && tempaddr.flush());
        const std::optional<QByteArray> shown = network.ipBatch(c.commands + "addr show\n");
        ASSERT_TRUE(shown);
        for (const QByteArray& flag : c.flags)
            EXPECT_TRUE(shown->contains(' ' + flag + ' ')) << flag.toStdString();

        EngineRig rig;
        EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), c.wan);
        QString expected = QStringLiteral("HostVane IP Configuration\n");
        for (const QString& section : c.sections)
            expected += scriptSection(section);
        EXPECT_EQ(rig.world.readFile(QStringLiteral("hostvane.ip")).toStdString(),
                  expected.toStdString());
        QFile listing(QStringLiteral("hostvane.ip"));
        ASSERT_TRUE(listing.open(QIODevice::ReadOnly));
        EXPECT_EQ(ReadAdapterAddress(listing, QStringLiteral("eth0"), [](const QString&) {}),
                  c.eth0);
    }
}

} // namespace
