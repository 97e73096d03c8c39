#include "control/ProgramStart.h"

#include "control/CommandLine.h"
#include "platform/XdgPaths.h"
#include "system/AppIdentity.h"
#include "system/InstanceGuard.h"
#include "system/ProgramDirectory.h"
#include "system/Prompt.h"

#include <QCoreApplication>

#include <cstdio>
#include <functional>

namespace {

int print(std::FILE* stream, const QString& text, int status)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

// Reaches the copy that runs and has `ask` put the question to it; when no copy runs, says
// `notRunning` and ends with `notRunningStatus`.
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

} // namespace

std::optional<int> ProgramStart::AnswerCommandLine(int argc, char** argv)
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
    return std::nullopt;
}

bool ProgramStart::Prepare(Prompt& prompt)
{
    if (const QString missing = XdgPaths::MissingHomeMessage(); !missing.isEmpty()) {
        prompt.Show(AppIdentity::Title(), missing, Prompt::Buttons::Ok);
        return false;
    }
    QString failure;
    if (!ProgramDirectory::Prepare(ProgramDirectory::Path(), ProgramDirectory::ShippedDataPath(),
                                   &failure)) {
        prompt.Show(AppIdentity::Title(), failure, Prompt::Buttons::Ok);
        return false;
    }
    return true;
}
