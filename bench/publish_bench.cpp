// One whole publish (DELETE, PUT, CLOSE, QUIT) against a loopback FTP server, next to the
// same transfer done by the curl command-line tool, in plain FTP, over explicit TLS and over
// SFTP to a loopback sshd; and the CPU time of a full forced check that publishes.

#include "BenchTools.h"
#include "support/CpuClock.h"
#include "support/EngineRig.h"
#include "support/LoopbackServer.h"
#include "support/SshServer.h"
#include "support/TestCertificates.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QString kUser = QStringLiteral("bench");
const QString kPassword = QStringLiteral("bench-pass");

double milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct Timings
{
    double ours = 0;
    double tool = 0;
    int uploads = 0;
};

// The curl tool's arguments for the same publish over FTP to `server`.
QStringList ftpCurl(const LoopbackServer& server, const QStringList& options)
{
    return options + QStringList{QStringLiteral("-s"),
                                 QStringLiteral("-S"),
                                 QStringLiteral("-u"),
                                 kUser + QLatin1Char(':') + kPassword,
                                 QStringLiteral("-Q"),
                                 QStringLiteral("DELE /hostvane.html"),
                                 QStringLiteral("-T"),
                                 QStringLiteral("hostvane.htm"),
                                 QStringLiteral("ftp://") + server.address() +
                                     QStringLiteral("/hostvane.html")};
}

// Publishes `runs` times with HostVane to `host` and with the curl tool given
// `curlArguments`, alternately.
Timings compare(EngineRig& rig, const QString& host, const QStringList& curlArguments, int runs)
{
    rig.settings.sTargetUrl = QStringLiteral("FTP://") + host;

    const int uploadsBefore = rig.driver.lUploadCount;
    const CheckAddresses addresses{QStringLiteral("10.1.2.3"), {}};
    const PublishContext context{rig.settings, {}, true, {}};
    rig.publish.Publish(addresses, context); // the page is on the server
    std::vector<double> ours;
    std::vector<double> tool;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer elapsed;
        elapsed.start();
        rig.publish.Publish(addresses, context);
        ours.push_back(milliseconds(elapsed));

        elapsed.restart();
        QProcess curl;
        curl.start(QStringLiteral("curl"), curlArguments);
        curl.waitForFinished();
        tool.push_back(milliseconds(elapsed));
        if (curl.exitCode() != 0) {
            std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
            std::exit(1);
        }
    }
    return {median(ours), median(tool), rig.driver.lUploadCount - uploadsBefore};
}

void print(const char* what, const char* tool, const Timings& timings, int runs)
{
    std::printf("%s, median of %d runs (%d of %d uploads counted):\n", what, runs, timings.uploads,
                runs + 1);
    std::printf("  HostVane  %.1f ms\n  %-9s %.1f ms\n  ratio     %.2f (target <= 1.2)\n",
                timings.ours, tool, timings.tool, timings.ours / timings.tool);
}

// Both log in with the same key and check the server's key against ~/.ssh/known_hosts.
Timings compareSftp(EngineRig& rig, int runs)
{
    qunsetenv("SSH_AUTH_SOCK");
    const SshServer server;
    const QString keys = QDir::homePath() + QStringLiteral("/.ssh/");
    QDir().mkpath(keys);
    MakeSshKey(keys + QStringLiteral("id_ed25519"));
    server.authorize(keys + QStringLiteral("id_ed25519.pub"));
    QFile known(keys + QStringLiteral("known_hosts"));
    if (!known.open(QIODevice::WriteOnly) || known.write(server.knownHostsLine()) <= 0)
        std::exit(1);
    known.close();
    rig.settings.sUser = server.user();
    rig.settings.sPword.clear();
    const QString address = QStringLiteral("127.0.0.1:") + QString::number(server.port());
    return compare(rig, QStringLiteral("sftp://") + address,
                   {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("-u"),
                    server.user() + QLatin1Char(':'), QStringLiteral("--key"),
                    keys + QStringLiteral("id_ed25519"), QStringLiteral("-Q"),
                    QStringLiteral("rm hostvane.html"), QStringLiteral("-T"),
                    QStringLiteral("hostvane.htm"),
                    QStringLiteral("sftp://") + address + QStringLiteral("/~/hostvane.html")},
                   runs);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;

    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    rig.settings.sUser = kUser;
    rig.settings.sPword = kPassword;
    rig.pages.CreateHtm(QStringLiteral("10.1.2.3"));
    rig.world.writeFile(QStringLiteral("ftp-ca.pem"), TestCertificates::authority());

    const LoopbackServer plain = LoopbackServer::Ftp(kUser, kPassword);
    const Timings plainTimings = compare(rig, plain.address(), ftpCurl(plain, {}), runs);
    const LoopbackServer tls = LoopbackServer::FtpOverTls(
        kUser, kPassword, LoopbackServer::ExplicitTls, QStringLiteral("trusted"));
    const Timings tlsTimings =
        compare(rig, QStringLiteral("ftpes://") + tls.address(),
                ftpCurl(tls, {QStringLiteral("--ssl-reqd"), QStringLiteral("--cacert"),
                              QStringLiteral("ftp-ca.pem")}),
                runs);
    const Timings sftpTimings = compareSftp(rig, runs);

    rig.settings.sTargetUrl = plain.url();
    rig.settings.sUser = kUser;
    rig.settings.sPword = kPassword;
    std::vector<double> checkCpu;
    rig.discovery.setSettleSeconds(2);
    for (int run = 0; run < 3; ++run) {
        const double before = CpuMilliseconds(RUSAGE_SELF) + CpuMilliseconds(RUSAGE_CHILDREN);
        rig.check.Process(true);
        checkCpu.push_back(CpuMilliseconds(RUSAGE_SELF) + CpuMilliseconds(RUSAGE_CHILDREN) -
                           before);
    }

    print("plain FTP publish with read-back against a loopback server", "curl tool", plainTimings,
          runs);
    print("explicit TLS publish against the same kind of server", "curl --ssl-reqd", tlsTimings,
          runs);
    print("SFTP publish with key login against a loopback sshd", "curl sftp", sftpTimings, runs);
    std::printf("full forced check with publish: CPU %.1f ms, median of 3 (target < 30 ms)\n",
                median(checkCpu));
    return 0;
}
