// The answer to `hostvane --status`, for a person or a monitoring script: one "key: value"
// line each, times in ISO 8601 with their offset, in this order:
//   last-check  the end of the latest check, or "none"
//   result      "published", "unchanged" (nothing was due), "failed", "no-address" or "none"
//   ipv4, ipv6  the addresses it found (empty for none)
//   page, dns, dyndns, hook
//               "off", "not tried", or the latest try's outcome ("published", "failed",
//               "not sent") and time
//   next-check  the next automatic check, or "disabled"
#include "control/ProgramParts.h"

namespace {

QByteArray line(const char* key, const QString& value)
{
    return QByteArray(key) + ": " + value.toUtf8() + '\n';
}

QString isoTime(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

QByteArray ProgramController::StatusReport() const
{
    const Parts& p = *m_parts;
    const CheckOutcome& last = p.lastOutcome;
    const bool checked = last.finishedAt.isValid();
    const bool found = !last.found.ip.isEmpty() || !last.found.ip6.isEmpty();
    const QString result = !checked               ? QStringLiteral("none")
                           : !found               ? QStringLiteral("no-address")
                           : !last.publishTried() ? QStringLiteral("unchanged")
                           : last.published()     ? QStringLiteral("published")
                                                  : QStringLiteral("failed");
    QByteArray report =
        line("last-check", checked ? isoTime(last.finishedAt) : QStringLiteral("none")) +
        line("result", result) + line("ipv4", last.found.ip) + line("ipv6", last.found.ip6);
    for (const auto& [name, on] : p.engine.check.Targets(p.settings)) {
        const std::optional<UpdateCheck::TargetStatus> status = p.engine.check.LastStatus(name);
        QString value = QStringLiteral("off");
        if (on && !status)
            value = QStringLiteral("not tried");
        else if (on)
            value = ResultText(status->result) + QLatin1Char(' ') + isoTime(status->at);
        report += line(name.toUtf8().constData(), value);
    }
    return report + line("next-check", p.settings.ProcessingEnabled
                                           ? isoTime(p.scheduler.dNextUpdate)
                                           : QStringLiteral("disabled"));
}
