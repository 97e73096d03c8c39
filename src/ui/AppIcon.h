#pragma once

#include <QIcon>

// The program's icon: the installed theme icon "hostvane", or the hicolor files beside the
// executable (the build tree mirrors an installation) when the theme has none.
namespace AppIcon {

QIcon Icon();

} // namespace AppIcon
