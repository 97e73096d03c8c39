#pragma once

#include <QString>
#include <QStringList>

// What the program was asked for on its command line. With no option it starts as usual;
// --help and --version print and end at once, with no display needed; --update-now asks the
// copy that runs for a check, as File > Update now does; --status asks it how it stands.
struct CommandLine
{
    enum class Action
    {
        Run,
        Help,
        Version,
        UpdateNow,
        Status,
        Invalid,
    };

    // The words after the program's name.
    static CommandLine Parse(const QStringList& arguments);
    static QString HelpText();
    static QString VersionText();
    // The exit status --status ends with for the running copy's answer: 0 when its latest
    // check published, found no change or has not run yet, 1 when it failed.
    static int StatusExit(const QByteArray& answer);

    static constexpr int kNotRunning = 3;

    Action action = Action::Run;
    // For Invalid: what was wrong.
    QString error;
};
