#include "platform/XdgPaths.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString absoluteVariable(const char* name)
{
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

QString baseDirectory(const char* variable, const char* underHome)
{
    const QString direct = absoluteVariable(variable);
    if (!direct.isEmpty())
        return direct;
    const QString home = absoluteVariable("HOME");
    return home.isEmpty() ? QString()
                          : QDir::cleanPath(home + QLatin1Char('/') + QLatin1String(underHome));
}

} // namespace

QString XdgPaths::DataHome()
{
    return baseDirectory("XDG_DATA_HOME", ".local/share");
}

QString XdgPaths::ConfigHome()
{
    return baseDirectory("XDG_CONFIG_HOME", ".config");
}

QString XdgPaths::RuntimeDir()
{
    return absoluteVariable("XDG_RUNTIME_DIR");
}

QString XdgPaths::MissingHomeMessage()
{
    const char* missing = DataHome().isEmpty()     ? "XDG_DATA_HOME"
                          : ConfigHome().isEmpty() ? "XDG_CONFIG_HOME"
                                                   : nullptr;
    if (!missing)
        return QString();
    return QStringLiteral("Cannot find your home directory: set HOME (or %1) to an absolute path.")
        .arg(QLatin1String(missing));
}

QString XdgPaths::RuntimeFallback(const QString& prefix)
{
    const QString fallback =
        QDir::tempPath() + QStringLiteral("/%1-%2").arg(prefix, QString::number(::getuid()));
    ::mkdir(QFile::encodeName(fallback).constData(), 0700);
    return fallback;
}

bool XdgPaths::IsPrivateDirectory(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}
