#include "engine/AdapterListing.h"

#include "platform/RegularFile.h"
#include "system/RuntimeFormat.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// Enough for a newcomer to recognise the link; the rest only says how many more there were.
constexpr qsizetype kHintAdapters = 4;

QString AdapterName(const QString& line)
{
    static const QRegularExpression header(uR"(\badapter\s+(.*?)\s*(\([^()]*\))?\s*:$)"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = header.match(line);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

bool IsAdapterHeader(const QString& line)
{
    const QString trimmed = line.trimmed();
    return trimmed.endsWith(u':') && !AdapterName(trimmed).isEmpty();
}

QList<ListedAdapter> ListedAdapters(QIODevice& listing)
{
    QList<ListedAdapter> adapters;
    while (!listing.atEnd()) {
        const QString line = QString::fromLocal8Bit(listing.readLine()).trimmed();
        if (const QString name = AdapterName(line); !name.isEmpty()) {
            adapters.append({name, QString()});
        } else if (!adapters.isEmpty() && adapters.last().address.isEmpty() &&
                   line.contains("IP Address"_L1, Qt::CaseInsensitive)) {
            // A listing re-wrapped by hand runs fields together: the first word is the address.
            const qsizetype colon = line.indexOf(u':');
            if (colon >= 0)
                adapters.last().address = line.mid(colon + 1).trimmed().section(u' ', 0, 0);
        }
    }
    return adapters;
}

QList<ListedAdapter> ListedAdapters(const QString& fileName)
{
    QFile listing(fileName);
    if (!OpenRegularFile(listing, QIODevice::ReadOnly))
        return {};
    return ListedAdapters(listing);
}

QString ListedAdaptersHint(const QList<ListedAdapter>& adapters)
{
    if (adapters.isEmpty())
        return u"The address report listed no adapter"_s;
    QStringList shown;
    for (const ListedAdapter& adapter : adapters.first(std::min(adapters.size(), kHintAdapters)))
        shown.append(TrimBlanks(adapter.name + u' ' + adapter.address));
    QString listed = shown.join(", "_L1);
    if (adapters.size() > kHintAdapters)
        listed += u" and %1 more"_s.arg(adapters.size() - kHintAdapters);
    return u"The address report listed: %1; choose one in File > Properties, Connection identifier"_s
        .arg(listed);
}
