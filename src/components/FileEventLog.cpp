#include "components/FileEventLog.h"

#include "components/NTService.h"

#include <QFile>

void FileEventLog::LogEvent(qint16 eventType, qint32 eventId, const QString& text)
{
    QFile log(m_path);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    log.write(QByteArray::number(eventType) + ' ' +
              NTService::SystemLogText(eventId, text).toUtf8() + '\n');
}
