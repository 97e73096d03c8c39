// DNS target figures, against a real Knot DNS on loopback:
// 1. one signed update with its read-back, HostVane's DnsClient beside nsupdate plus dig doing
//    the same to the same server;
// 2. in a private network namespace (as root) with a tun interface ppp0, the real program set
//    for DNS only: the time from a change of ppp0's address until the server answers the new A
//    record. The interval is 99 minutes, so every update comes from an address event.
// Usage: build/bench/dns_bench [runs] [changes]

#include "BenchTools.h"
#include "components/DnsClient.h"
#include "support/DnsServers.h"
#include "support/PrivateNetwork.h"
#include "support/RunningProgram.h"
#include "support/TempWorld.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

namespace {

using namespace std::chrono_literals;

const QString kPeer = QStringLiteral("10.64.0.1");
const QString kName = QStringLiteral("home.example.org");

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

bool run(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// The update of A and AAAA with the read-back of both, each way, `runs` times alternately.
bool compareWithTools(const KnotServer& knot, int runs)
{
    const DnsClient client(
        {QStringLiteral("127.0.0.1"), knot.port()},
        {DnsTestServer::keyName(), DnsTestServer::algorithm(), DnsTestServer::secret()}, 3s, 3);
    const QString key =
        QStringLiteral("%1:%2:%3")
            .arg(DnsTestServer::algorithm(), DnsTestServer::keyName(), DnsTestServer::secret());
    const QString port = QString::number(knot.port());
    std::vector<double> ours;
    std::vector<double> tools;
    for (int i = 1; i <= runs; ++i) {
        const QString ip = QStringLiteral("203.0.113.%1").arg(i % 250 + 1);
        const QString ip6 = QStringLiteral("2001:db8::%1").arg(i, 0, 16);
        QElapsedTimer elapsed;
        elapsed.start();
        const DnsClient::Answer answer = client.Update(DnsTestServer::zone(), kName, 60, ip, ip6);
        const DnsClient::Addresses held = client.Lookup(kName);
        ours.push_back(seconds(elapsed) * 1e3);
        if (answer.rcode != QLatin1String("NOERROR") || !held.a.contains(ip))
            return false;

        elapsed.restart();
        const QByteArray script = QStringLiteral("server 127.0.0.1 %1\nzone example.org\n"
                                                 "update delete %2 A\nupdate add %2 60 A %3\n"
                                                 "update delete %2 AAAA\n"
                                                 "update add %2 60 AAAA %4\nsend\n")
                                      .arg(port, kName, ip, ip6)
                                      .toUtf8();
        if (!run(QStringLiteral("nsupdate"), {QStringLiteral("-y"), key}, script) ||
            !run(QStringLiteral("dig"), {QStringLiteral("@127.0.0.1"), QStringLiteral("-p"), port,
                                         QStringLiteral("+norecurse"), kName, QStringLiteral("A"),
                                         kName, QStringLiteral("AAAA")}))
            return false;
        tools.push_back(seconds(elapsed) * 1e3);
    }
    std::printf("one signed update of A and AAAA with their read-back, median of %d runs:\n", runs);
    std::printf("  HostVane %.1f ms, nsupdate + dig %.1f ms: ratio %.2f (target <= 1.2)\n",
                median(ours), median(tools), median(ours) / median(tools));
    return true;
}

// Changes ppp0's address `changes` times and waits each time for the server to answer it. The
// server and the program run inside the namespace.
bool measureAddressChanges(PrivateNetwork& network, int changes)
{
    const KnotServer knot;
    QString address = QStringLiteral("10.64.0.2");
    if (!network.addPointToPoint(QStringLiteral("ppp0"), address, kPeer))
        return false;
    TempWorld world;
    world.writeSettings("[Settings]\nPublishPage=0\nRefresh=99\nAutoProcess=001\n[Dns]\nServer=" +
                        knot.server().toUtf8() + "\nZone=example.org\nName=home\nTsigName=" +
                        DnsTestServer::keyName().toUtf8() +
                        "\nTsigSecret=" + DnsTestServer::secret().toUtf8() + "\n");
    RunningProgram program(QStringLiteral(HOSTVANE_EXECUTABLE),
                           world.root() + QStringLiteral("/runtime"));
    if (!program.waitForLines(kCheckFinished, 1, 20s)) {
        std::fprintf(stderr, "the first check did not end:\n%s\n", qPrintable(program.errors()));
        return false;
    }
    const DnsClient asking({QStringLiteral("127.0.0.1"), knot.port()}, {}, 1s, 1);
    std::vector<double> latencies;
    for (int change = 1; change <= changes; ++change) {
        pause(std::chrono::milliseconds(2500 + (change * 370) % 1000));
        const QString next = QStringLiteral("10.64.1.%1").arg(change);
        const auto command = [&](const char* verb, const QString& which) {
            return network.ip({QStringLiteral("addr"), QLatin1String(verb), which,
                               QStringLiteral("peer"), kPeer, QStringLiteral("dev"),
                               QStringLiteral("ppp0")});
        };
        QElapsedTimer elapsed;
        elapsed.start();
        if (!command("del", address) || !command("add", next))
            return false;
        address = next;
        while (!asking.Lookup(kName).a.contains(address)) {
            if (elapsed.elapsed() > 30000) {
                std::fprintf(stderr, "the server did not answer %s:\n%s\n", qPrintable(address),
                             qPrintable(program.errors()));
                return false;
            }
            pause(10ms);
        }
        latencies.push_back(seconds(elapsed));
        std::printf("address change %2d: %.2f s\n", change, latencies.back());
    }
    std::printf("address change to the server answering the new A record, %d changes: median "
                "%.2f s, worst %.2f s (target: median <= 2.5 s, worst <= 3.5 s)\n",
                changes, median(latencies), *std::max_element(latencies.begin(), latencies.end()));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const int changes = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    {
        const KnotServer knot;
        if (!compareWithTools(knot, runs)) {
            std::fprintf(stderr, "an update or its read-back failed:\n%s\n", knot.log().data());
            return 1;
        }
    }
    PrivateNetwork network;
    if (!network.failure().isEmpty()) {
        std::fprintf(stderr, "cannot make a private network namespace: %s\n",
                     qPrintable(network.failure()));
        return 1;
    }
    return measureAddressChanges(network, changes) ? 0 : 1;
}
