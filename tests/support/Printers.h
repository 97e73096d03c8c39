#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Readable Qt strings in test failure messages and in messages streamed into assertions.
inline std::ostream& operator<<(std::ostream& os, const QString& text)
{
    return os << '"' << text.toStdString() << '"';
}

inline std::ostream& operator<<(std::ostream& os, const QStringList& lines)
{
    os << '{';
    for (const QString& line : lines)
        os << "\n  " << line;
    return os << "\n}";
}
