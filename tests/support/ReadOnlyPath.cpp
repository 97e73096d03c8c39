#include "support/ReadOnlyPath.h"

#include <QFile>
#include <QProcess>

#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

ReadOnlyPath::ReadOnlyPath(const QString& path) : m_path(path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        throw std::runtime_error("no such path: " + path.toStdString());
    m_mode = status.st_mode & 07777;
    ::chmod(QFile::encodeName(path).constData(), m_mode & ~0222u);
    if (::geteuid() == 0 && !chattr("+i"))
        throw std::runtime_error("chattr cannot change " + path.toStdString());
}

ReadOnlyPath::~ReadOnlyPath()
{
    if (::geteuid() == 0)
        chattr("-i");
    ::chmod(QFile::encodeName(m_path).constData(), m_mode);
}

bool ReadOnlyPath::chattr(const char* flag) const
{
    return QProcess::execute(QStringLiteral("chattr"), {QLatin1String(flag), m_path}) == 0;
}
