#include "ui/AppIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QIcon AppIcon::Icon()
{
    QIcon shipped;
    const QString hicolor =
        QDir::cleanPath(QCoreApplication::applicationDirPath() +
                        QStringLiteral("/../share/icons/hicolor/%1x%1/apps/hostvane.png"));
    for (int size : {16, 32, 48}) {
        const QString file = hicolor.arg(size);
        if (QFileInfo::exists(file))
            shipped.addFile(file, QSize(size, size));
    }
    return QIcon::fromTheme(QStringLiteral("hostvane"), shipped);
}
