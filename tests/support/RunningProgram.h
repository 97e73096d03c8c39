#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>

// The real program started as a user starts it, headless, in the per-user world of the
// calling process (HOME and the XDG variables), with a private runtime directory. Its event
// history is read from standard error. It is ended with the object.
class RunningProgram
{
public:
    RunningProgram(const QString& executable, const QString& runtimeDir);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return m_process.state() == QProcess::Running; }
    qint64 pid() const { return m_process.processId(); }

    // Reads standard error until `count` history lines start with `prefix` or `limit` has
    // passed; true when they do.
    bool waitForLines(const QString& prefix, int count, std::chrono::milliseconds limit);
    // History lines read so far that start with `prefix`.
    int lineCount(const QString& prefix) const;
    // The history lines read so far, without their time stamps.
    QStringList history() const;
    // Everything read from standard error so far.
    QString errors() const { return QString::fromLocal8Bit(m_errors); }

    // True once the program listens to the kernel's IPv4 address announcements.
    bool listensForAddressEvents() const;

private:
    QProcess m_process;
    QByteArray m_errors;
};

// The first line of a check's history, and its last.
inline const QString kCheckStarted = QStringLiteral("Checking IP address at: ");
inline const QString kCheckFinished = QStringLiteral("Finished update processing at: ");
