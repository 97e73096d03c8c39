#include "platform/XdgPaths.h"

#include <QDir>

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
