#pragma once

#include <QString>

// Files and folders that hold secrets (the settings file holds the password): kept readable by
// their owner only, and why one cannot be written, told in the system's words.
namespace OwnerOnlyFiles {

// True when `path` names nothing or a regular file, never opening it in a way that waits.
bool AbsentOrRegular(const QString& path);

// A regular file at `path` that others may read or write is made owner-only; a folder the
// user owns likewise. Anything else is left alone.
void TightenFile(const QString& path);
void TightenFolder(const QString& path);

// Creates the regular file at `path` owner-only when missing, and makes it owner-only when
// not. False when something other than a regular file stands there.
bool GuardFile(const QString& path);

// Why the file at `path` cannot be written, its folder made or written, as the system says;
// "it is not a regular file" for a FIFO, device or socket in its place; empty when nothing
// stands in the way.
QString WhyNotWritable(const QString& path);

// The system's words for a full disk when the file system holding `folder` has no space left,
// else empty.
QString DiskFullReason(const QString& folder);

} // namespace OwnerOnlyFiles
