#include "components/RemotePath.h"

#include <QStringList>

QString WithoutDotSegments(const QString& path)
{
    const bool absolute = path.startsWith(QLatin1Char('/'));
    const QStringList segments = (absolute ? path.mid(1) : path).split(QLatin1Char('/'));
    QStringList kept;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString& segment = segments[i];
        const bool last = i == segments.size() - 1;
        if (segment == QLatin1String(".") || segment == QLatin1String("..")) {
            if (segment == QLatin1String("..")) {
                if (!kept.isEmpty() && kept.last() != QLatin1String(".."))
                    kept.removeLast();
                else if (!absolute)
                    kept.append(segment);
            }
            if (last)
                kept.append(QString()); // "a/.." names the directory a/ left, with its "/"
            continue;
        }
        kept.append(segment);
    }
    return (absolute ? QStringLiteral("/") : QString()) + kept.join(QLatin1Char('/'));
}
