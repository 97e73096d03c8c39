#pragma once

#include <QString>

// The per-user base directories of the XDG layout, read from the environment at each call
// (tests and services change it). A directory whose variable is unset or relative falls back
// under $HOME; when $HOME is unusable too the directory is empty, never "/".
namespace XdgPaths {

// $XDG_DATA_HOME, else $HOME/.local/share.
QString DataHome();
// $XDG_CONFIG_HOME, else $HOME/.config.
QString ConfigHome();
// $XDG_RUNTIME_DIR, or empty: it has no fallback under $HOME.
QString RuntimeDir();

// Where what belongs in the runtime directory goes while $XDG_RUNTIME_DIR is unset:
// "<temporary directory>/<prefix>-<uid>", made owner-only when missing.
QString RuntimeFallback(const QString& prefix);
// Whether `path` is a real directory (not a link) this user owns and nobody else may enter:
// anything else at a name under the temporary directory could belong to another user.
bool IsPrivateDirectory(const QString& path);

// Empty when the data and configuration homes resolve; otherwise a message naming the
// variable the user must set, since the program keeps nothing at the root of the file system.
QString MissingHomeMessage();

} // namespace XdgPaths
