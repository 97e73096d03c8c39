#include "system/RuntimeFormat.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

TEST(NumberText, BlankBeforeNonNegativeMinusBeforeNegative)
{
    EXPECT_EQ(NumberText(0), QStringLiteral(" 0"));
    EXPECT_EQ(NumberText(3), QStringLiteral(" 3"));
    EXPECT_EQ(NumberText(550), QStringLiteral(" 550"));
    EXPECT_EQ(NumberText(-1), QStringLiteral("-1"));
}

TEST(FormatDate, ProgramPatterns)
{
    QLocale::setDefault(QLocale::c());
    const struct
    {
        QDateTime when;
        QStringView pattern;
        const char* expected;
    } cases[] = {
        {at(2026, 12, 6, 2, 51, 38), kCheckTimePattern, "Dec 06, 2026  02:51:38 am"},
        {at(2026, 3, 5, 14, 7, 9), kPanelTimePattern, "Mar 05, 02:07:09 pm"},
        {at(2026, 3, 5, 0, 0, 0), kPanelTimePattern, "Mar 05, 12:00:00 am"},
        {at(2026, 3, 5, 12, 30, 0), kPanelTimePattern, "Mar 05, 12:30:00 pm"},
        {at(1998, 3, 5, 14, 7, 0), u"mmm dd, yyyy hh:mm", "Mar 05, 1998 14:07"},
        {at(1998, 3, 5, 14, 7, 0), u"dd/mm/yyyy", "05/03/1998"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDate(c.when, c.pattern), QLatin1String(c.expected)) << c.expected;
}

TEST(FormatDate, AmPmTokenUsesLocaleDesignator)
{
    const QString text = FormatDate(at(1998, 3, 5, 14, 7, 0), kStartedPattern);
    EXPECT_EQ(text, QStringLiteral("Mar 05, 1998 02:07 ") + QLocale::system().pmText());
}

TEST(StampedLine, IsoLocalTimeWithMilliseconds)
{
    const QDateTime when(QDate(2026, 12, 6), QTime(2, 51, 38, 123));
    EXPECT_EQ(StampedLine(when, QStringLiteral("IP resolved: 10.1.2.3")),
              QStringLiteral("2026-12-06T02:51:38.123 IP resolved: 10.1.2.3"));
}

TEST(CutHistoryLine, LongerThanTheLimitIsCutWithAnEllipsis)
{
    const QString x1000(1000, QLatin1Char('x'));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one surrogate pair
    const struct
    {
        const char* name;
        QString line;
        QString shown;
    } cases[] = {
        {"at the limit", x1000, x1000},
        {"one over", x1000 + QLatin1Char('y'), x1000 + QChar(0x2026)},
        {"a pair across the limit", x1000.left(999) + emoji, x1000.left(999) + QChar(0x2026)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CutHistoryLine(c.line), c.shown) << c.name;
}

TEST(TrimBlanks, RemovesSpacesOnly)
{
    EXPECT_EQ(TrimBlanks(QStringLiteral("  10.1.2.3  ")), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("\t10.1.2.3 \t")), QStringLiteral("\t10.1.2.3 \t"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("   ")), QString());
}

} // namespace
