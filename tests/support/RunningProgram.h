#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

// The real program started as a user starts it, headless, in the per-user world of the
// calling process (HOME and the XDG variables), with `runtimeDir` as its private runtime
// directory unless that is empty, `extraEnvironment` ("NAME=value") added and `arguments` on its
// command line. Its event history is read from standard error. It is ended with the object.
class RunningProgram
{
public:
    explicit RunningProgram(const QString& executable, const QString& runtimeDir = QString(),
                            const QStringList& extraEnvironment = {},
                            const QStringList& arguments = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return m_process.state() == QProcess::Running; }
    qint64 pid() const { return m_process.processId(); }
    const QProcess& process() const { return m_process; }

    // Reads standard error until `count` history lines start with `prefix` or `limit` has
    // passed; true when they do.
    bool waitForLines(const QString& prefix, int count, std::chrono::milliseconds limit);
    // History lines read so far that start with `prefix`.
    int lineCount(const QString& prefix) const;
    // The history lines read so far, without their time stamps.
    QStringList history() const;
    // Reads standard error until it holds `marker` or `limit` has passed; true when it does.
    bool waitForText(const QByteArray& marker, std::chrono::milliseconds limit);
    // Waits for the program to end by itself; true when it did within `limit`.
    bool waitForEnd(std::chrono::milliseconds limit);
    // Sends the signal and waits up to ten seconds for the end; the milliseconds it took, or -1.
    qint64 signalAndWait(int signalNumber);
    // Standard output, once the program has ended.
    QString output() { return QString::fromLocal8Bit(m_process.readAllStandardOutput()); }
    // Everything read from standard error so far.
    QString errors() const { return QString::fromLocal8Bit(m_errors); }

    // True once the program listens to the kernel's IPv4 address announcements.
    bool listensForAddressEvents() const;

private:
    bool readUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

    QProcess m_process;
    QByteArray m_errors;
};

// The first line of a check's history, and its last.
inline const QString kCheckStarted = QStringLiteral("Checking IP address at: ");
inline const QString kCheckFinished = QStringLiteral("Finished update processing at: ");

// True while `pid` runs; a zombie left for a parent that does not reap it has ended.
bool ProcessRunning(const QByteArray& pid);
