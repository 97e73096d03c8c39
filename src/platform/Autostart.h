#pragma once

#include <QString>

#include <optional>

// The programs started when the user logs on to the desktop: here the XDG autostart directory,
// one desktop entry a program. Names are matched without regard to case.
namespace Autostart {

enum class WriteResult
{
    Written,
    BadName,     // not one plain file name
    NoAccess,    // the directory or the entry cannot be created
    WriteFailed, // the entry could not be written whole
};

// False when there is nowhere to keep entries (no configuration home).
bool Available();
// The command line the entry `name` starts; the empty text for a hidden entry; nothing when
// there is no entry.
std::optional<QString> CommandLine(const QString& name);
// Writes the entry `name` for `commandLine`; the empty command line writes it hidden.
WriteResult Write(const QString& name, const QString& commandLine);

} // namespace Autostart
