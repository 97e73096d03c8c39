#include "support/RunningProgram.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <linux/rtnetlink.h>

RunningProgram::RunningProgram(const QString& executable, const QString& runtimeDir)
{
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(runtimeDir);
    m_process.setReadChannel(QProcess::StandardError);
    m_process.start(executable, {});
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

bool RunningProgram::waitForLines(const QString& prefix, int count, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    for (;;) {
        m_errors += m_process.readAllStandardError();
        if (lineCount(prefix) >= count)
            return true;
        if (deadline.hasExpired() ||
            !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
    }
    m_errors += m_process.readAllStandardError();
    return lineCount(prefix) >= count;
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
