#include "engine/CheckOutcome.h"

#include "system/RuntimeFormat.h"

QString CheckOutcome::Summary() const
{
    if (!finishedAt.isValid())
        return QStringLiteral("No check yet");
    const QString when = QStringLiteral("Last check ") + FormatDate(finishedAt, kStartedPattern);
    if (address.isEmpty())
        return when + QStringLiteral(": no address found");
    const QString page = !publishTried ? QStringLiteral("page unchanged")
                         : published   ? QStringLiteral("page published")
                                       : QStringLiteral("page NOT published");
    return when + QStringLiteral(": address ") + address + QStringLiteral(", ") + page;
}
