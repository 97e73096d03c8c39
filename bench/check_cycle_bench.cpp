// CPU and wall time of one check cycle: the shipped address-report script, the settle time
// and the reading of its listing, with an unchanged address so nothing is published.

#include "support/CpuClock.h"
#include "support/EngineRig.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString adapter = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("eth0");

    EngineRig rig;
    rig.discovery.setSettleSeconds(2);
    rig.settings.sAdapterIdentity = adapter;

    std::vector<double> cpu;
    std::vector<double> own;
    std::vector<double> wall;
    for (int run = 0; run < runs; ++run) {
        rig.check.sPreviousIP = rig.check.sCurrentIP;
        const double ownBefore = CpuMilliseconds(RUSAGE_SELF);
        const double before = ownBefore + CpuMilliseconds(RUSAGE_CHILDREN);
        QElapsedTimer elapsed;
        elapsed.start();
        rig.check.Process(false);
        wall.push_back(static_cast<double>(elapsed.nsecsElapsed()) / 1e6);
        own.push_back(CpuMilliseconds(RUSAGE_SELF) - ownBefore);
        cpu.push_back(CpuMilliseconds(RUSAGE_SELF) + CpuMilliseconds(RUSAGE_CHILDREN) - before);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(own.begin(), own.end());
    std::sort(wall.begin(), wall.end());
    std::printf("check cycle (script, settle, parse), median of %d runs:\n", runs);
    std::printf("  CPU  %.1f ms (program and script together; target < 20 ms)\n",
                cpu[cpu.size() / 2]);
    std::printf("       of which the program itself %.1f ms\n", own[own.size() / 2]);
    std::printf("  wall %.0f ms (the settle time is 1 to 2 s by design)\n", wall[wall.size() / 2]);
    std::printf("  address found: %s\n", qPrintable(rig.check.sCurrentIP));
    return 0;
}
