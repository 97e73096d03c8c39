#pragma once

#include <QString>

#include <optional>

// Reading the INI-shaped files of the desktop and of systemd (desktop entries, units).
namespace KeyFile {

// The raw text of `key` in `[group]` of the file; nothing when the file, the group or the key
// is missing.
std::optional<QString> Value(const QString& path, const QString& group, const QString& key);

// A name that stays one file name inside its directory.
bool IsPlainName(const QString& name);

} // namespace KeyFile
