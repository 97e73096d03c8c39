#include "engine/PageGenerator.h"

#include "engine/CheckHost.h"
#include "engine/ErrorReporter.h"
#include "platform/RegularFile.h"
#include "system/RuntimeFormat.h"

#include <QFile>
#include <QFileInfo>

namespace {
const QString kPage = QStringLiteral("hostvane.htm");
const QString kWorkingTemplate = QStringLiteral("hostvane.inp");
const QString kInstalledTemplate = QStringLiteral("template/hostvane.inp");
constexpr QByteArrayView kMarker = "~ip~";
constexpr QByteArrayView kMarker6 = "~ip6~";
} // namespace

bool ReplaceAddressMarker(QByteArray& line, const QByteArray& ip, const QByteArray& ip6)
{
    const QByteArray lower = line.toLower();
    QByteArray page;
    qsizetype copied = 0;
    bool ipDone = false;
    bool ip6Done = false;
    for (;;) {
        const qsizetype at = ipDone ? -1 : lower.indexOf(kMarker, copied);
        const qsizetype at6 = ip6Done ? -1 : lower.indexOf(kMarker6, copied);
        if (at < 0 && at6 < 0)
            break;
        const bool six = at < 0 || (at6 >= 0 && at6 < at);
        const qsizetype start = six ? at6 : at;
        page += QByteArrayView(line).sliced(copied, start - copied);
        page += six ? ip6 : ip;
        copied = start + (six ? kMarker6 : kMarker).size();
        (six ? ip6Done : ipDone) = true;
    }
    if (copied == 0)
        return false;
    page += QByteArrayView(line).sliced(copied);
    line = page;
    return true;
}

qint16 PageGenerator::CreateHtm(const QString& ip, const QString& ipv6)
{
    QFile::remove(kPage);
    // Anything but a regular file has no length here, so it is replaced like an empty one.
    const QFileInfo working(kWorkingTemplate);
    if (!working.isFile() || working.size() <= 0) {
        if (!copyInstalledTemplate()) {
            m_errors.LogError(QStringLiteral("Unable to copy template\\hostvane.inp file."));
            return 1;
        }
    }
    const QString host6 = QLatin1Char('[') + ipv6 + QLatin1Char(']');
    const QString host = ip.isEmpty() ? host6 : ip;
    return writePage(host.toUtf8(), (ipv6.isEmpty() ? ip : host6).toUtf8()) ? 0 : 1;
}

bool PageGenerator::copyInstalledTemplate()
{
    QFile installed(kInstalledTemplate);
    if (!OpenRegularFile(installed, QIODevice::ReadOnly))
        return false;
    const QByteArray text = installed.readAll();
    if (installed.error() != QFileDevice::NoError)
        return false;
    // Whatever stood at the name is replaced, never opened, and a failed copy leaves no half
    // template behind.
    return ReplaceFile(kWorkingTemplate, text).isEmpty();
}

bool PageGenerator::writePage(const QByteArray& ip, const QByteArray& ip6)
{
    QFile templateFile(kWorkingTemplate);
    QFile page(kPage);
    if (!OpenRegularFile(templateFile, QIODevice::ReadOnly) ||
        !OpenRegularFile(page, QIODevice::WriteOnly))
        return false;
    while (!templateFile.atEnd()) {
        QByteArray line = templateFile.readLine();
        if (line.isEmpty() && templateFile.error() != QFileDevice::NoError)
            return false;
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArray original = line;
        if (ReplaceAddressMarker(line, ip, ip6))
            m_host.EventMsg(QStringLiteral("Replacing text:") +
                            TrimBlanks(QString::fromUtf8(original)));
        line += "\r\n";
        if (page.write(line) != line.size())
            return false;
    }
    return page.flush() && templateFile.error() == QFileDevice::NoError;
}
