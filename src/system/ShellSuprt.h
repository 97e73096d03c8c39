#pragma once

#include <QString>

#include <chrono>

// Runs a command line hidden in the current directory and waits for it, then waits out a
// settle time while window events are served. Returns the command's exit code.
//
// The line runs through /bin/sh with the current directory searched first for the command and
// a redirection to "nul" sent to /dev/null. The command runs in a process group of its own,
// and whatever is left in that group when the command ends is ended too. A command that cannot
// be started, one killed by a signal and one still running after processTimeout give a non-zero
// result. Neither wait spins: both sleep in an event loop.
//
// What the command writes to standard error passes on to the program's own; `lastErrorLine`,
// when given, gets the last line of it that is not blank (ErrorTail::LastLine), or empty.
qint32 ShellWait(const QString& commandLine, bool useCommandInterpreter, qint16 settleSeconds,
                 std::chrono::milliseconds processTimeout = std::chrono::seconds(60),
                 QString* lastErrorLine = nullptr);

// The engine's way to run the address script: ShellWait and EndRunningCommand behind one small
// interface, so that whoever builds an engine decides how its scripts run.
class ScriptRunner
{
public:
    virtual ~ScriptRunner() = default;
    virtual qint32 Run(const QString& commandLine, bool useCommandInterpreter, qint16 settleSeconds,
                       std::chrono::milliseconds processTimeout, QString* lastErrorLine) = 0;
    virtual void EndRunning() = 0;

    // The runner that runs them through ShellWait.
    static ScriptRunner& System();
};

namespace ShellSuprt {

inline constexpr qint32 kNotStarted = -1;
inline constexpr qint32 kTimedOut = -2;
inline constexpr qint32 kKilledBySignal = -3;

// The command line as /bin/sh receives it.
QString ShellCommandLine(const QString& commandLine);

// Ends the command ShellWait is waiting for, with its whole process group; the wait then
// returns a failure. Nothing happens when no command runs.
void EndRunningCommand();

} // namespace ShellSuprt
