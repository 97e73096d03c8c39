#include "system/ErrorTail.h"

#include "system/RuntimeFormat.h"

#include <QList>
#include <QProcess>

#include <cstdio>

namespace {
constexpr qsizetype kKept = 4096;
}

ErrorTail::ErrorTail(QProcess& process) : m_process(process)
{
    process.setProcessChannelMode(QProcess::SeparateChannels);
    m_reading =
        QObject::connect(&process, &QProcess::readyReadStandardError, &process, [this] { take(); });
}

ErrorTail::~ErrorTail()
{
    QObject::disconnect(m_reading);
}

void ErrorTail::take()
{
    const QByteArray chunk = m_process.readAllStandardError();
    std::fwrite(chunk.constData(), 1, static_cast<size_t>(chunk.size()), stderr);
    std::fflush(stderr);
    m_tail += chunk;
    if (m_tail.size() > kKept)
        m_tail.remove(0, m_tail.size() - kKept);
}

QString ErrorTail::LastLine()
{
    take(); // what came after the last notice
    const QList<QByteArray> lines = m_tail.split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString text = QString::fromLocal8Bit(line->trimmed());
        if (!text.isEmpty())
            return PrintableText(text.left(kLineLimit));
    }
    return {};
}
