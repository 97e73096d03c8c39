#include "ui/AppIcon.h"

QIcon AppIcon::Icon()
{
    QIcon builtIn;
    builtIn.addFile(QStringLiteral(":/icons/hostvane-16.png"), QSize(16, 16));
    builtIn.addFile(QStringLiteral(":/icons/hostvane-32.png"), QSize(32, 32));
    // For the About box's larger picture and for screens of 1.5 or 2 device pixels a pixel.
    builtIn.addFile(QStringLiteral(":/icons/hostvane-48.png"), QSize(48, 48));
    builtIn.addFile(QStringLiteral(":/icons/hostvane-64.png"), QSize(64, 64));
    return QIcon::fromTheme(QStringLiteral("hostvane"), builtIn);
}
