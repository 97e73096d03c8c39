#pragma once

#include <QList>
#include <QString>

class QIODevice;

// One adapter's section of an address report: the name its header gives and the first
// address of its "IP Address" line (empty when it has none).
struct ListedAdapter
{
    QString name;
    QString address;

    bool operator==(const ListedAdapter&) const = default;
};

// Whether `line` opens an adapter's section: it ends with ":" and has the word "adapter" in it,
// as in "NdisWan adapter ppp0 (PPP Adapter):" or the indented "   Ethernet adapter NdisWan4:"
// of Windows NT. The one rule for every reader of a listing.
bool IsAdapterHeader(const QString& line);

// The adapters an address report lists, in its order. A header is a line that ends with ":"
// and has the word "adapter" in it, as in "NdisWan adapter ppp0 (PPP Adapter):" or the
// "Ethernet adapter NdisWan4:" of Windows NT; the name is what follows that word, without a
// remark in brackets.
QList<ListedAdapter> ListedAdapters(QIODevice& listing);

// The same for a listing file; none when it cannot be read as a regular file.
QList<ListedAdapter> ListedAdapters(const QString& fileName);

// The history line that tells, after a check found no address, what the report held instead
// and where to choose one of them.
QString ListedAdaptersHint(const QList<ListedAdapter>& adapters);
