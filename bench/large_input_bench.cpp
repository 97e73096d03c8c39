// Wall and CPU time of checks fed with large input, run through the main window so the
// event history's list and its echo to standard error are counted: an adapter line of 1 MB
// in the listing, and a template of 100,000 marker lines. Standard error goes to a file.

#include "support/CpuClock.h"
#include "support/ManualClock.h"
#include "support/ProgramWindow.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

struct Cost
{
    double wallMs;
    double cpuMs;
};

Cost timedCheck(ProgramController& controller)
{
    const double before = CpuMilliseconds(RUSAGE_SELF) + CpuMilliseconds(RUSAGE_CHILDREN);
    QElapsedTimer elapsed;
    elapsed.start();
    controller.Process(true);
    return {static_cast<double>(elapsed.nsecsElapsed()) / 1e6,
            CpuMilliseconds(RUSAGE_SELF) + CpuMilliseconds(RUSAGE_CHILDREN) - before};
}

QByteArray repeated(const QByteArray& line, int count)
{
    QByteArray text;
    text.reserve(line.size() * count);
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int templateLines = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;

    TempWorld world;
    const QString journal = world.root() + QStringLiteral("/stderr.log");
    if (!std::freopen(QFile::encodeName(journal).constData(), "w", stderr))
        return 1;
    QDir().mkpath(QFileInfo(world.configFile()).path());
    QFile ini(world.configFile());
    // Nothing listens on port 1 of loopback, so each publish fails at once.
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n") < 0)
        return 1;
    ini.close();

    ManualClock clock;
    ScriptedPrompt prompt;
    // One program at a time: each claims the one instance a user may run.
    std::optional<ProgramWindow> program;
    const auto start = [&](qint16 settleSeconds) -> ProgramController& {
        program.reset();
        program.emplace(clock, prompt, cWinVer().WinverPlatform(),
                        EngineTimeouts{.settleSeconds = settleSeconds});
        program->window.Form_Load();
        return program->controller;
    };

    const QByteArray adapterLine = "NdisWan adapter " + QByteArray(1 << 20, 'x') + ":\n";
    world.installListingScript(adapterLine + "        IP Address. . . . . . . . . : 10.1.2.3\n");
    const Cost longLine = timedCheck(start(2));
    std::printf("check with a 1 MB adapter line, settle wait of 1 to 2 s included:\n");
    std::printf("  wall %.0f ms (target: the settle wait plus 1 s, < 3000 ms), CPU %.0f ms\n",
                longLine.wallMs, longLine.cpuMs);

    world.installListingScript("NdisWan adapter ppp0:\n  IP Address. . . . . : 10.1.2.3\n");
    world.writeFile(QStringLiteral("hostvane.inp"), repeated("<p>~IP~</p>\n", templateLines));
    const Cost bigTemplate = timedCheck(start(0));
    std::printf("check with a template of %d marker lines, no settle wait:\n", templateLines);
    std::printf("  wall %.0f ms (target < 10000 ms for 100000 lines), CPU %.0f ms\n",
                bigTemplate.wallMs, bigTemplate.cpuMs);
    return 0;
}
