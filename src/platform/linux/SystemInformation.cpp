#include "platform/SystemInformation.h"

#include <QStandardPaths>

QString SystemInformation::Program()
{
    for (const char* candidate : {"hardinfo", "kinfocenter", "gnome-system-monitor"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(candidate));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}
