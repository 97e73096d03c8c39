#include "ui/AppIcon.h"

QIcon AppIcon::Icon()
{
    QIcon builtIn;
    builtIn.addFile(QStringLiteral(":/icons/hostvane-16.png"), QSize(16, 16));
    builtIn.addFile(QStringLiteral(":/icons/hostvane-32.png"), QSize(32, 32));
    return QIcon::fromTheme(QStringLiteral("hostvane"), builtIn);
}
