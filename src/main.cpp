#include "components/FileEventLog.h"
#include "components/NTService.h"
#include "control/CommandLine.h"
#include "control/ProgramController.h"
#include "platform/ServiceManager.h"
#include "platform/XdgPaths.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/InstanceGuard.h"
#include "system/ProcessRunner.h"
#include "system/ProgramDirectory.h"
#include "ui/AppIcon.h"
#include "ui/DisplayPlatform.h"
#include "ui/MessageBoxPrompt.h"
#include "ui/frmHostVane.h"

#include <QApplication>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

int print(std::FILE* stream, const QString& text, int status)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

// Reaches the copy that runs, without a display, and has `ask` put the question to it; when no
// copy runs, says `notRunning` and ends with `notRunningStatus`.
int askRunningCopy(int argc, char** argv, const std::function<int(InstanceGuard&)>& ask,
                   const QString& notRunning, int notRunningStatus)
{
    QCoreApplication app(argc, argv);
    InstanceGuard guard;
    switch (guard.Claim()) {
    case InstanceGuard::ClaimResult::OtherRunning:
        return ask(guard);
    case InstanceGuard::ClaimResult::First:
        return print(stderr, notRunning, notRunningStatus);
    case InstanceGuard::ClaimResult::Failed:
        break;
    }
    return print(
        stderr,
        QStringLiteral("HostVane: cannot reach a running copy: %1.\n").arg(guard.FailureText()), 1);
}

int updateNow(InstanceGuard& guard)
{
    guard.AskOtherToCheck();
    return print(stdout, QStringLiteral("HostVane: the running copy checks now.\n"), 0);
}

int status(InstanceGuard& guard)
{
    const std::optional<QByteArray> answer = guard.AskOtherForStatus();
    if (!answer)
        return print(stderr, QStringLiteral("HostVane: the running copy did not answer.\n"), 1);
    std::fwrite(answer->constData(), 1, static_cast<size_t>(answer->size()), stdout);
    return CommandLine::StatusExit(*answer);
}

QtMessageHandler g_qtHandler = nullptr;
bool g_headless = false;

// A fatal message (no platform plugin could be loaded, say) also goes to the system log, where
// a start from the desktop's menu, which has no terminal, can be looked up. Without a screen,
// standard error (a terminal's or a service's journal) holds the program's own lines: Qt's
// remarks about the headless platform (no tray, no raising of windows) are not among them.
void qtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        ServiceManager::WriteSystemLog(AppIdentity::Title(), true, message);
    } else if (!g_headless) {
        g_qtHandler(type, context, message);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine command = CommandLine::Parse(arguments);
    switch (command.action) {
    case CommandLine::Action::Help:
        return print(stdout, CommandLine::HelpText(), 0);
    case CommandLine::Action::Version:
        return print(stdout, CommandLine::VersionText(), 0);
    case CommandLine::Action::Invalid:
        return print(stderr,
                     QStringLiteral("hostvane: %1\n").arg(command.error) + CommandLine::HelpText(),
                     2);
    case CommandLine::Action::UpdateNow:
        return askRunningCopy(argc, argv, updateNow,
                              QStringLiteral("HostVane is not running; nothing was checked.\n"), 1);
    case CommandLine::Action::Status:
        return askRunningCopy(argc, argv, status, QStringLiteral("HostVane is not running.\n"),
                              CommandLine::kNotRunning);
    case CommandLine::Action::Run:
        break;
    }

    if (const QString none = ChooseDisplayPlatform(); !none.isEmpty()) {
        ServiceManager::WriteSystemLog(AppIdentity::Title(), true, none);
        return print(stderr, QStringLiteral("HostVane: %1\n").arg(none), 1);
    }
    g_headless = NTService::StartedAsService() || qgetenv("QT_QPA_PLATFORM") == "offscreen";
    g_qtHandler = qInstallMessageHandler(qtMessage);

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppIdentity::Title());
    QApplication::setApplicationVersion(AppIdentity::Version());
    QApplication::setWindowIcon(AppIcon::Icon());
    // The program ends through the controller's unload only: a hidden window or the splash
    // closing last must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    MessageBoxPrompt prompt;
    if (const QString missing = XdgPaths::MissingHomeMessage(); !missing.isEmpty()) {
        prompt.Show(AppIdentity::Title(), missing, Prompt::Buttons::Ok);
        return 1;
    }
    QString failure;
    if (!ProgramDirectory::Prepare(ProgramDirectory::Path(), ProgramDirectory::ShippedDataPath(),
                                   &failure)) {
        prompt.Show(AppIdentity::Title(), failure, Prompt::Buttons::Ok);
        return 1;
    }

    SystemClock clock;
    ProcessRunner runner;
    // Where nothing reads the system log, its entries can go to a file instead.
    std::optional<FileEventLog> fileLog;
    if (const QString path = qEnvironmentVariable("HOSTVANE_EVENT_LOG"); !path.isEmpty())
        fileLog.emplace(path);
    ProgramController controller(clock, prompt, runner);
    if (fileLog)
        controller.setEventLog(&*fileLog);
    frmHostVane window(controller, clock);
    if (!window.Form_Load())
        return controller.ExitStatus();
    return app.exec();
}
