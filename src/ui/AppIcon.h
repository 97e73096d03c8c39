#pragma once

#include <QIcon>

// The program's icon: the installed theme icon "hostvane", or the copy built into the program
// when the theme has none (a program run from the build tree, a desktop without the theme).
namespace AppIcon {

QIcon Icon();

} // namespace AppIcon
