#pragma once

#include <QString>

// The per-user directory in which the program keeps its working files and which it makes the
// current directory, so that every relative file name resolves there.
namespace ProgramDirectory {

// $XDG_DATA_HOME/HostVane, by default ~/.local/share/HostVane; empty when there is no home.
QString Path();

// Its sibling for the settings file: $XDG_CONFIG_HOME/HostVane, by default ~/.config/HostVane.
QString SettingsFolder();

// The shipped files of the installation: <prefix>/share/hostvane beside the executable's
// bin directory (the build tree has the same layout).
QString ShippedDataPath();

// Creates `directory` (mode 0700), copies into it every shipped file it lacks, brings the
// program's own files (the manual, the installed template) up to the installed version while
// never replacing a file the user edits (the scripts, hostvane.inp), and makes it the current
// directory. A file that cannot be copied is named on standard error. False, with a reason,
// when the directory cannot be created or entered.
bool Prepare(const QString& directory, const QString& shippedData, QString* failure);

} // namespace ProgramDirectory
