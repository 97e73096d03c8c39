#pragma once

#include <QString>
#include <QStringList>

// QT_PLUGIN_PATH's folders, then Qt's own.
QStringList DefaultPluginFolders();

// Picks Qt's platform before the application object exists, so that a start always gets a
// platform it can load: the offscreen one with no display at all, X11 (through XWayland) in a
// Wayland session that lacks Qt's wayland plugin. Empty when a platform was found; otherwise
// why none can be, for the system log and standard error, since Qt would abort silently for a
// start from the desktop's menu.
// Qt's plugins are looked for in `pluginFolders`, by default where Qt keeps them.
QString ChooseDisplayPlatform(const QStringList& pluginFolders = DefaultPluginFolders());
