#pragma once

#include <QString>

// `path` with its "." segments and its "a/.." pairs resolved: "a/../b" is "b", "a/../../b" is
// "../b". A relative path keeps the ".." it starts with, since a login directory beside the
// web root ("../www/") is common; an absolute one cannot climb above "/" ("/../www/" is
// "/www/"). Servers disagree on dot segments inside a path (one may store through them and
// refuse to rename through them), so every command names the file the same way only when
// none but those leading ones are left.
QString WithoutDotSegments(const QString& path);
