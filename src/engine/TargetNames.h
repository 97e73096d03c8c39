#pragma once

#include <QString>
#include <QStringList>

// The names a target keeps up to date, as the settings list them: comma-separated, blanks
// around each ignored.
inline QStringList TargetNames(const QString& list)
{
    QStringList names;
    for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (const QString trimmed = name.trimmed(); !trimmed.isEmpty())
            names.append(trimmed);
    }
    return names;
}
