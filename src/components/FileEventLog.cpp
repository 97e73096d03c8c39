#include "components/FileEventLog.h"

#include "components/NTService.h"

#include <QFile>

#include <cstdio>

void FileEventLog::LogEvent(qint16 eventType, qint32 eventId, const QString& text)
{
    const QByteArray line =
        QByteArray::number(eventType) + ' ' + NTService::SystemLogText(eventId, text).toUtf8();
    QFile log(m_path);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append) && log.write(line + '\n') > 0)
        return;
    // The entry is not lost: it reaches standard error, with why the file did not take it.
    std::fprintf(stderr, "HostVane: cannot write to the event log %s (%s): %s\n",
                 QFile::encodeName(m_path).constData(), log.errorString().toLocal8Bit().constData(),
                 line.constData());
}
