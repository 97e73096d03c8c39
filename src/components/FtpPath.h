#pragma once

#include <QString>

// `path` with its "." and ".." segments resolved as a URL resolver does, never climbing above
// where it starts: "a/../../b" is "b", "/../www/" is "/www/". Servers disagree on dot segments
// (one may store through them and refuse to rename through them), so every command names the
// file the same way only when none are left.
QString WithoutDotSegments(const QString& path);
