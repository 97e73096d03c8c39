#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

// The text forms shared by every message, counter and status panel.

// A number as messages show it: a blank before a number that is not negative, a minus sign
// before a negative one (3 gives " 3", -1 gives "-1").
QString NumberText(qint64 number);

// Formats a local date-time with the program's date patterns. Tokens: "mmm" month abbreviation
// of the system locale, "dd" day, "yyyy" year, "hh" hour (12-hour clock when an am/pm token
// is present), "mm" minutes after an hour, "ss" seconds, "am/pm" lower-case am or pm, "ampm"
// the locale's morning or afternoon designator. Any other character stands for itself.
QString FormatDate(const QDateTime& when, QStringView pattern);

inline constexpr QStringView kCheckTimePattern = u"mmm dd, yyyy  hh:mm:ss am/pm";
inline constexpr QStringView kPanelTimePattern = u"mmm dd, hh:mm:ss am/pm";
inline constexpr QStringView kStartedPattern = u"mmm dd, yyyy hh:mm ampm";

// One history line as it is echoed to standard error: ISO 8601 local time with milliseconds,
// a blank, the line.
QString StampedLine(const QDateTime& when, const QString& line);

// A history line as the window and standard error show it: at most kHistoryLineLimit characters,
// a longer one cut there and followed by "…". A surrogate pair is never split.
inline constexpr qsizetype kHistoryLineLimit = 1000;
QString CutHistoryLine(const QString& line);

// Removes leading and trailing space characters; tabs and other white space stay.
QString TrimBlanks(const QString& text);

// Text from outside (a script, a server) made fit for a history line, a terminal or a journal:
// every control character (an escape sequence, a bell, a bare carriage return) is written as
// "\xNN".
QString PrintableText(const QString& text);
