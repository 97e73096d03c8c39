#include "control/Scheduler.h"

#include <gtest/gtest.h>

#include <vector>

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

// What the kernel's address events do to the next-check time. Times are milliseconds after a
// start; the next check was due an hour after it.
TEST(Scheduler, AddressEvents)
{
    enum Kind
    {
        Event,
        Settled,
        CheckEnds
    };
    struct Step
    {
        Kind kind;
        qint64 atMs;
        bool enabled = true;
        bool checking = false;
        qint64 quietEndMs = -1; // what an Event returns; -1: ignored
        bool startsNow = false; // what Settled returns
    };
    struct Case
    {
        const char* name;
        std::vector<Step> steps;
        qint64 nextUpdateMs;
    };
    const qint64 hour = 3600000;
    const qint64 interval = 5 * 60000;
    const Case cases[] = {
        {"one event: due once the quiet period is over",
         {{Event, 0, true, false, 250}, {Settled, 250, true, false, -1, true}},
         250},
        {"a burst settles a quiet period after its last event",
         {{Event, 0, true, false, 250},
          {Event, 100, true, false, 350},
          {Event, 300, true, false, 550},
          {Settled, 550, true, false, -1, true}},
         550},
        {"a burst that does not quiet down waits a second at most",
         {{Event, 0, true, false, 250},
          {Event, 200, true, false, 450},
          {Event, 400, true, false, 650},
          {Event, 600, true, false, 850},
          {Event, 800, true, false, 1000},
          {Event, 950, true, false, 1000},
          {Settled, 1000, true, false, -1, true}},
         1000},
        {"the next burst waits from its own first event",
         {{Event, 0, true, false, 250},
          {Settled, 250, true, false, -1, true},
          {Event, 5000, true, false, 5250},
          {Event, 5200, true, false, 5450},
          {Settled, 5450, true, false, -1, true}},
         5450},
        {"automatic checking off: events do nothing", {{Event, 0, false}}, hour},
        {"automatic checking switched off during the quiet period",
         {{Event, 0, true, false, 250}, {Settled, 250, false}},
         hour},
        {"during a check: due right after it, not after the interval",
         {{Event, 0, true, false, 250}, {Settled, 250, true, true}, {CheckEnds, 1800}},
         1800},
        {"one more check only, not one after every check",
         {{Event, 0, true, false, 250},
          {Settled, 250, true, true},
          {CheckEnds, 1800},
          {CheckEnds, 4000}},
         4000 + interval},
        {"a check with no event during it: the interval", {{CheckEnds, 1800}}, 1800 + interval},
    };
    const QDateTime start(QDate(2026, 3, 5), QTime(14, 7, 9));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scheduler scheduler;
        scheduler.dNextUpdate = start.addMSecs(hour);
        for (const Step& step : c.steps) {
            const QDateTime at = start.addMSecs(step.atMs);
            switch (step.kind) {
            case Event: {
                const QDateTime quietEnd = scheduler.AddressChanged(at, step.enabled);
                EXPECT_EQ(quietEnd.isValid() ? start.msecsTo(quietEnd) : -1, step.quietEndMs)
                    << "event at " << step.atMs;
                break;
            }
            case Settled:
                EXPECT_EQ(scheduler.AddressesSettled(at, step.enabled, step.checking),
                          step.startsNow)
                    << "settled at " << step.atMs;
                break;
            case CheckEnds:
                scheduler.LoadTimer(at, 5);
                break;
            }
        }
        EXPECT_EQ(start.msecsTo(scheduler.dNextUpdate), c.nextUpdateMs);
    }
}

} // namespace
