#include "support/RunningProgram.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <csignal>
#include <linux/rtnetlink.h>

RunningProgram::RunningProgram(const QString& executable, const QString& runtimeDir,
                               const QStringList& extraEnvironment, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "NOTIFY_SOCKET", "HOSTVANE_SERVICE"})
        environment.remove(QLatin1String(name));
    if (!runtimeDir.isEmpty()) {
        QDir().mkpath(runtimeDir);
        QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        m_process.setWorkingDirectory(runtimeDir);
    }
    for (const QString& setting : extraEnvironment)
        environment.insert(setting.section(QLatin1Char('='), 0, 0),
                           setting.section(QLatin1Char('='), 1));
    m_process.setProcessEnvironment(environment);
    m_process.setReadChannel(QProcess::StandardError);
    m_process.start(executable, arguments);
    m_process.waitForStarted();
}

RunningProgram::~RunningProgram()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool RunningProgram::readUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    for (;;) {
        m_errors += m_process.readAllStandardError();
        if (done())
            return true;
        if (deadline.hasExpired() ||
            !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
    }
    m_errors += m_process.readAllStandardError();
    return done();
}

bool RunningProgram::waitForLines(const QString& prefix, int count, std::chrono::milliseconds limit)
{
    return readUntil([&] { return lineCount(prefix) >= count; }, limit);
}

bool RunningProgram::waitForText(const QByteArray& marker, std::chrono::milliseconds limit)
{
    return readUntil([&] { return m_errors.contains(marker); }, limit);
}

bool RunningProgram::waitForEnd(std::chrono::milliseconds limit)
{
    const bool ended = m_process.waitForFinished(static_cast<int>(limit.count()));
    m_errors += m_process.readAllStandardError();
    return ended;
}

qint64 RunningProgram::signalAndWait(int signalNumber)
{
    QElapsedTimer took;
    took.start();
    ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
    if (!m_process.waitForFinished(10000))
        return -1;
    m_errors += m_process.readAllStandardError();
    return took.elapsed();
}

int RunningProgram::lineCount(const QString& prefix) const
{
    int count = 0;
    for (const QString& line : history())
        count += line.startsWith(prefix) ? 1 : 0;
    return count;
}

QStringList RunningProgram::history() const
{
    static const QRegularExpression stamp(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} )"));
    QStringList lines;
    for (const QString& line : errors().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (stamp.match(line).hasMatch())
            lines.append(line.mid(24));
    }
    return lines;
}

bool RunningProgram::listensForAddressEvents() const
{
    // The program's sockets, by inode, against the route sockets of its network namespace
    // that joined the IPv4 address group.
    const QString proc = QStringLiteral("/proc/") + QString::number(pid());
    QStringList sockets;
    for (const QFileInfo& fd : QDir(proc + QStringLiteral("/fd")).entryInfoList(QDir::System))
        sockets.append(fd.symLinkTarget().section(QLatin1Char('/'), -1));
    QFile table(proc + QStringLiteral("/net/netlink"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const qulonglong group = 1ULL << (RTNLGRP_IPV4_IFADDR - 1);
    for (const QByteArray& row : table.readAll().split('\n')) {
        const QList<QByteArray> field = row.simplified().split(' ');
        if (field.size() < 10 || field[1] != "0")
            continue;
        bool ok = false;
        const qulonglong groups = field[3].toULongLong(&ok, 16);
        if (ok && (groups & group) != 0 &&
            sockets.contains(QStringLiteral("socket:[") + QString::fromLatin1(field[9]) +
                             QLatin1Char(']')))
            return true;
    }
    return false;
}

bool ProcessRunning(const QByteArray& pid)
{
    QFile stat(QStringLiteral("/proc/") + QString::fromLatin1(pid.trimmed()) +
               QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype state = text.lastIndexOf(')') + 2;
    return state < text.size() && text[state] != 'Z';
}
