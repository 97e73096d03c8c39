// One whole publish (DELETE, PUT, CLOSE, QUIT) against a loopback FTP server, next to the
// same transfer done by the curl command-line tool, and the CPU time of a full forced check
// that publishes.

#include "support/CpuClock.h"
#include "support/EngineRig.h"
#include "support/LoopbackServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;

    const QString user = QStringLiteral("bench");
    const QString password = QStringLiteral("bench-pass");
    LoopbackServer server = LoopbackServer::Ftp(user, password);
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    rig.settings.sTargetUrl = server.url();
    rig.settings.sUser = user;
    rig.settings.sPword = password;
    rig.pages.CreateHtm(QStringLiteral("10.1.2.3"));

    const QStringList curlArguments = {QStringLiteral("-s"),
                                       QStringLiteral("-S"),
                                       QStringLiteral("-u"),
                                       user + QLatin1Char(':') + password,
                                       QStringLiteral("-Q"),
                                       QStringLiteral("DELE /hostvane.html"),
                                       QStringLiteral("-T"),
                                       QStringLiteral("hostvane.htm"),
                                       QStringLiteral("ftp://") + server.address() +
                                           QStringLiteral("/hostvane.html")};

    rig.publish.Publish(QStringLiteral("10.1.2.3"), rig.settings); // the page is on the server
    std::vector<double> ours;
    std::vector<double> tool;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer elapsed;
        elapsed.start();
        rig.publish.Publish(QStringLiteral("10.1.2.3"), rig.settings);
        ours.push_back(milliseconds(elapsed));

        elapsed.restart();
        QProcess curl;
        curl.start(QStringLiteral("curl"), curlArguments);
        curl.waitForFinished();
        tool.push_back(milliseconds(elapsed));
        if (curl.exitCode() != 0) {
            std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
            return 1;
        }
    }
    const int uploads = rig.driver.lUploadCount;

    std::vector<double> checkCpu;
    rig.discovery.setSettleSeconds(2);
    for (int run = 0; run < 3; ++run) {
        const double before = CpuMilliseconds(RUSAGE_SELF) + CpuMilliseconds(RUSAGE_CHILDREN);
        rig.check.Process(true);
        checkCpu.push_back(CpuMilliseconds(RUSAGE_SELF) + CpuMilliseconds(RUSAGE_CHILDREN) -
                           before);
    }

    const double ratio = median(ours) / median(tool);
    std::printf("publish against a loopback server, median of %d runs (%d uploads counted):\n",
                runs, uploads);
    std::printf("  HostVane  %.1f ms\n  curl tool %.1f ms\n  ratio     %.2f (target <= 1.2)\n",
                median(ours), median(tool), ratio);
    std::printf("full forced check with publish: CPU %.1f ms, median of 3 (target < 30 ms)\n",
                median(checkCpu));
    return 0;
}
