#include "system/RuntimeFormat.h"

#include <QLocale>

QString NumberText(qint64 number)
{
    const QString digits = QString::number(number);
    return number < 0 ? digits : QLatin1Char(' ') + digits;
}

namespace {

bool hasAmPmToken(QStringView pattern)
{
    return pattern.contains(u"am/pm", Qt::CaseInsensitive) ||
           pattern.contains(u"ampm", Qt::CaseInsensitive);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FormatDate(const QDateTime& when, QStringView pattern)
{
    const QLocale locale = QLocale::system();
    const QDate date = when.date();
    const QTime time = when.time();
    const bool twelveHour = hasAmPmToken(pattern);

    QString out;
    bool afterHour = false; // "mm" means minutes right after an hour, months elsewhere
    qsizetype i = 0;
    const auto takes = [&](QStringView token) {
        if (!pattern.mid(i).startsWith(token, Qt::CaseInsensitive))
            return false;
        i += token.size();
        return true;
    };
    while (i < pattern.size()) {
        if (takes(u"am/pm")) {
            out += time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
        } else if (takes(u"ampm")) {
            out += time.hour() < 12 ? locale.amText() : locale.pmText();
        } else if (takes(u"yyyy")) {
            out += QString::number(date.year());
        } else if (takes(u"mmm")) {
            out += locale.monthName(date.month(), QLocale::ShortFormat);
        } else if (takes(u"dd")) {
            out += twoDigits(date.day());
        } else if (takes(u"hh")) {
            const int hour = twelveHour ? (time.hour() + 11) % 12 + 1 : time.hour();
            out += twoDigits(hour);
            afterHour = true;
            continue;
        } else if (takes(u"mm")) {
            out += twoDigits(afterHour ? time.minute() : date.month());
        } else if (takes(u"ss")) {
            out += twoDigits(time.second());
        } else {
            out += pattern[i++];
            if (afterHour && out.back() != QLatin1Char(':'))
                afterHour = false;
            continue;
        }
        afterHour = false;
    }
    return out;
}

QString StampedLine(const QDateTime& when, const QString& line)
{
    return when.toString(Qt::ISODateWithMs) + QLatin1Char(' ') + line;
}

QString CutHistoryLine(const QString& line)
{
    if (line.size() <= kHistoryLineLimit)
        return line;
    qsizetype keep = kHistoryLineLimit;
    if (line[keep - 1].isHighSurrogate())
        --keep;
    return line.left(keep) + QChar(0x2026);
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString PrintableText(const QString& text)
{
    QString printable;
    printable.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            printable += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            printable += c;
    }
    return printable;
}
