#include "control/CommandLine.h"

#include "system/AppIdentity.h"

CommandLine CommandLine::Parse(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return {};
    if (arguments.size() > 1)
        return {Action::Invalid, QStringLiteral("one option at most")};
    const QString& option = arguments.first();
    if (option == QLatin1String("--help") || option == QLatin1String("-h"))
        return {Action::Help, {}};
    if (option == QLatin1String("--version"))
        return {Action::Version, {}};
    if (option == QLatin1String("--update-now"))
        return {Action::UpdateNow, {}};
    if (option == QLatin1String("--status"))
        return {Action::Status, {}};
    return {Action::Invalid, QStringLiteral("unknown option %1").arg(option)};
}

QString CommandLine::HelpText()
{
    return QStringLiteral(
        "Usage: hostvane [OPTION]\n"
        "Keeps a redirector page on an FTP server pointing at this machine's address.\n"
        "\n"
        "With no option, starts HostVane (or brings the running copy's window to the front).\n"
        "  --update-now  asks the running copy for a check now, as File > Update now does;\n"
        "                exits 1 when no copy runs\n"
        "  --status      prints how the running copy stands, as key: value lines (last-check,\n"
        "                result, ipv4, ipv6, page, dns, dyndns, hook, next-check); exits 0\n"
        "                when its latest check published or found no change, 1 when it\n"
        "                failed, 3 when no copy runs\n"
        "  --version     prints the version and exits\n"
        "  -h, --help    prints this help and exits\n"
        "\n"
        "The systemd user service runs hostvane-service, the same program without a window\n"
        "(File > Properties, Install as a service); it takes the same options.\n"
        "\n"
        "Settings: File > Properties, kept in $XDG_CONFIG_HOME/HostVane/HostVane.conf.\n"
        "Manual: man hostvane, or Help > Help contents.\n");
}

QString CommandLine::VersionText()
{
    return AppIdentity::Title() + QLatin1Char(' ') + AppIdentity::Version() + QLatin1Char('\n');
}

int CommandLine::StatusExit(const QByteArray& answer)
{
    for (const QByteArray& line : answer.split('\n')) {
        if (line.startsWith("result: "))
            return line == "result: published" || line == "result: unchanged" ||
                           line == "result: none"
                       ? 0
                       : 1;
    }
    return 1;
}
