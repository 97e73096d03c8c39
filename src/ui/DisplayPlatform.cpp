#include "ui/DisplayPlatform.h"

#include <QDir>
#include <QLibraryInfo>

namespace {

bool waylandPluginInstalled(const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (!QDir(folder + QStringLiteral("/platforms"))
                 .entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files)
                 .isEmpty())
            return true;
    }
    return false;
}

} // namespace

QStringList DefaultPluginFolders()
{
    QStringList folders = qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts);
    folders.append(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    return folders;
}

QString ChooseDisplayPlatform(const QStringList& pluginFolders)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {};
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // With no display the program does its whole job all the same, on the offscreen platform.
    if (!x11 && !wayland) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return {};
    }
    if (!wayland || waylandPluginInstalled(pluginFolders))
        return {};
    if (x11) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return {};
    }
    return QStringLiteral("HostVane cannot open its window in this Wayland session: Qt's "
                          "wayland platform plugin is missing. Install the package "
                          "qt6-wayland, or start HostVane with QT_QPA_PLATFORM=offscreen to "
                          "run it without a window.");
}
