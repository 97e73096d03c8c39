#include "engine/CheckOutcome.h"

#include "system/RuntimeFormat.h"

#include <algorithm>

namespace {
bool tried(const CheckOutcome::Target& target)
{
    return target.result != PublishTarget::Result::NotTried;
}
} // namespace

bool CheckOutcome::publishTried() const
{
    return std::any_of(targets.cbegin(), targets.cend(), tried);
}

bool CheckOutcome::published() const
{
    return publishTried() &&
           std::none_of(targets.cbegin(), targets.cend(), [](const Target& target) {
               return target.result == PublishTarget::Result::Failed;
           });
}

QString CheckOutcome::Summary() const
{
    if (!finishedAt.isValid())
        return QStringLiteral("No check yet");
    const QString when = QStringLiteral("Last check ") + FormatDate(finishedAt, kStartedPattern);
    const QString address = found.ip.isEmpty() ? found.ip6 : found.ip;
    if (address.isEmpty())
        return when + QStringLiteral(": no address found");
    const auto pageTarget = std::find_if(targets.cbegin(), targets.cend(), [](const Target& t) {
        return t.name == QLatin1String("page");
    });
    const QString page = pageTarget == targets.cend() || !tried(*pageTarget)
                             ? QStringLiteral("page unchanged")
                         : pageTarget->result == PublishTarget::Result::Published
                             ? QStringLiteral("page published")
                             : QStringLiteral("page NOT published");
    QString summary = when + QStringLiteral(": address ") + address + QStringLiteral(", ") + page;
    for (const Target& target : targets) {
        if (target.name != QLatin1String("page"))
            summary +=
                QStringLiteral(", ") + target.name + QLatin1Char(' ') + ResultText(target.result);
    }
    return summary;
}
