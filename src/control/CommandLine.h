#pragma once

#include <QString>
#include <QStringList>

// What the program was asked for on its command line. With no option it starts as usual;
// --help and --version print and end at once, with no display needed; --update-now asks the
// copy that runs for a check, as File > Update now does.
struct CommandLine
{
    enum class Action
    {
        Run,
        Help,
        Version,
        UpdateNow,
        Invalid,
    };

    // The words after the program's name.
    static CommandLine Parse(const QStringList& arguments);
    static QString HelpText();
    static QString VersionText();

    Action action = Action::Run;
    // For Invalid: what was wrong.
    QString error;
};
