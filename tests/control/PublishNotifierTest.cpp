#include "control/PublishNotifier.h"
#include "control/DesktopNotice.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

class RecordingNotice final : public DesktopNotice
{
public:
    void Notify(const QString&, const QString& text) override { shown.append(text); }
    QStringList shown;
};

struct Check
{
    bool published;
    bool success;
    bool unseen;
    bool service;
    const char* told; // "failed", "again" or "" for nothing
};

const QString kFailed =
    QStringLiteral("The redirector page could not be published. HostVane tries again at the next "
                   "check.");
const QString kAgain = QStringLiteral("The redirector page is published again.");

TEST(PublishNotifier, TellsOncePerRunOfFailuresAndOnceWhenItRecovers)
{
    const struct
    {
        const char* name;
        std::vector<Check> checks;
    } cases[] = {
        {"a run of failures while hidden, then a success",
         {{true, false, true, false, "failed"},
          {true, false, true, false, ""},
          {true, false, true, false, ""},
          {true, true, true, false, "again"},
          {true, false, true, false, "failed"}}},
        {"failures the user can see tell nothing, nor does their end",
         {{true, false, false, false, ""}, {true, true, true, false, ""}}},
        {"the window hidden in the middle of a run",
         {{true, false, false, false, ""},
          {true, false, true, false, "failed"},
          {true, true, false, false, "again"}}},
        {"checks that did not publish change nothing",
         {{true, false, true, false, "failed"},
          {false, true, true, false, ""},
          {false, false, true, false, ""},
          {true, true, true, false, "again"}}},
        {"a service never tells", {{true, false, true, true, ""}, {true, true, true, true, ""}}},
    };
    for (const auto& c : cases) {
        RecordingNotice notice;
        PublishNotifier notifier(notice);
        QStringList expected;
        for (const Check& check : c.checks) {
            notifier.CheckFinished(check.published, check.success, check.unseen, check.service);
            if (QLatin1String(check.told) == QLatin1String("failed"))
                expected.append(kFailed);
            else if (QLatin1String(check.told) == QLatin1String("again"))
                expected.append(kAgain);
        }
        EXPECT_EQ(notice.shown, expected) << c.name;
    }
}

} // namespace
