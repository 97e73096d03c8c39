#include "ui/Scheduler.h"

#include <gtest/gtest.h>

namespace {

TEST(Scheduler, ClockEveryThirdTickTrayEverySixth)
{
    Scheduler scheduler;
    const QDateTime now(QDate(2026, 3, 5), QTime(14, 7, 9));
    scheduler.dNextUpdate = now.addDays(1);
    QList<int> clockTicks;
    QList<int> trayTicks;
    for (int tick = 1; tick <= 13; ++tick) {
        const Scheduler::Tick t = scheduler.NextTick(now);
        if (t.showTime)
            clockTicks.append(tick);
        if (t.assertTray)
            trayTicks.append(tick);
        EXPECT_FALSE(t.checkDue);
    }
    EXPECT_EQ(clockTicks, QList<int>({1, 4, 7, 10, 13}));
    EXPECT_EQ(trayTicks, QList<int>({1, 7, 13}));
}

TEST(Scheduler, DueAtOrAfterTheNextCheckTime)
{
    Scheduler scheduler;
    const QDateTime end(QDate(2026, 3, 5), QTime(14, 7, 9));
    scheduler.LoadTimer(end, 5);
    EXPECT_EQ(scheduler.dNextUpdate, QDateTime(QDate(2026, 3, 5), QTime(14, 12, 9)));
    EXPECT_FALSE(scheduler.NextTick(end.addSecs(299)).checkDue);
    EXPECT_TRUE(scheduler.NextTick(end.addSecs(300)).checkDue) << "equal counts as due";
    EXPECT_TRUE(scheduler.NextTick(end.addSecs(301)).checkDue);

    scheduler.LoadTimer(end, 0);
    EXPECT_TRUE(scheduler.NextTick(end).checkDue);
    scheduler.LoadTimer(QDateTime(QDate(2026, 12, 31), QTime(23, 58, 0)), 5);
    EXPECT_EQ(scheduler.dNextUpdate, QDateTime(QDate(2027, 1, 1), QTime(0, 3, 0)));
}

TEST(Scheduler, WaitText)
{
    Scheduler scheduler;
    scheduler.dNextUpdate = QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(scheduler.WaitText(true), QStringLiteral("Next check: Mar 05, 02:07:09 pm"));
    EXPECT_EQ(scheduler.WaitText(false), QStringLiteral("Auto update is disabled"));
}

} // namespace
