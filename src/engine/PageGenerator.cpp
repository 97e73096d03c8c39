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
} // namespace

bool ReplaceAddressMarker(QByteArray& line, const QByteArray& ip)
{
    const qsizetype at = line.toLower().indexOf(kMarker);
    if (at < 0)
        return false;
    line.replace(at, kMarker.size(), ip);
    return true;
}

qint16 PageGenerator::CreateHtm(const QString& ip)
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
    return writePage(ip.toUtf8()) ? 0 : 1;
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

bool PageGenerator::writePage(const QByteArray& ip)
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
        if (ReplaceAddressMarker(line, ip))
            m_host.EventMsg(QStringLiteral("Replacing text:") +
                            TrimBlanks(QString::fromUtf8(original)));
        line += "\r\n";
        if (page.write(line) != line.size())
            return false;
    }
    return page.flush() && templateFile.error() == QFileDevice::NoError;
}
