// Log-on entries as desktop entries in $XDG_CONFIG_HOME/autostart.
#include "platform/Autostart.h"

#include "platform/RegularFile.h"
#include "platform/XdgPaths.h"
#include "platform/linux/KeyFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

const QString kDesktopGroup = QStringLiteral("Desktop Entry");

QString autostartDir()
{
    return XdgPaths::ConfigHome() + QStringLiteral("/autostart");
}

// The entry of `name`, matched without regard to case.
QString entryPath(const QString& name)
{
    const QString fileName = name + QStringLiteral(".desktop");
    const QStringList present = QDir(autostartDir()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& candidate : present) {
        if (candidate.compare(fileName, Qt::CaseInsensitive) == 0)
            return autostartDir() + QLatin1Char('/') + candidate;
    }
    return autostartDir() + QLatin1Char('/') + fileName;
}

// A desktop entry's string value, read and written with its escapes.
QString unescape(const QString& text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const QChar next = text[++i];
        plain += next == QLatin1Char('s')   ? QChar(u' ')
                 : next == QLatin1Char('n') ? QChar(u'\n')
                 : next == QLatin1Char('t') ? QChar(u'\t')
                 : next == QLatin1Char('r') ? QChar(u'\r')
                                            : next;
    }
    return plain;
}

QString escape(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        escaped += c == QLatin1Char('\\')   ? QStringLiteral("\\\\")
                   : c == QLatin1Char('\n') ? QStringLiteral("\\n")
                   : c == QLatin1Char('\t') ? QStringLiteral("\\t")
                   : c == QLatin1Char('\r') ? QStringLiteral("\\r")
                                            : QString(c);
    }
    if (escaped.startsWith(QLatin1Char(' ')))
        escaped.replace(0, 1, QStringLiteral("\\s"));
    return escaped;
}

} // namespace

bool Autostart::Available()
{
    return !XdgPaths::ConfigHome().isEmpty();
}

std::optional<QString> Autostart::CommandLine(const QString& name)
{
    const QString path = entryPath(name);
    if (!KeyFile::IsPlainName(name) || !QFile::exists(path))
        return std::nullopt;
    const auto hidden = KeyFile::Value(path, kDesktopGroup, QStringLiteral("Hidden"));
    if (hidden && hidden->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return QString();
    return unescape(
        KeyFile::Value(path, kDesktopGroup, QStringLiteral("Exec")).value_or(QString()));
}

Autostart::WriteResult Autostart::Write(const QString& name, const QString& commandLine)
{
    if (!KeyFile::IsPlainName(name))
        return WriteResult::BadName;
    if (!QDir().mkpath(autostartDir()))
        return WriteResult::NoAccess;
    QString entry =
        QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n").arg(escape(name));
    if (!commandLine.isEmpty())
        entry += QStringLiteral("Exec=%1\n").arg(escape(commandLine));
    entry += QStringLiteral("Icon=hostvane\n");
    if (commandLine.isEmpty())
        entry += QStringLiteral("Hidden=true\n");
    return ReplaceFile(entryPath(name), entry.toUtf8()).isEmpty() ? WriteResult::Written
                                                                  : WriteResult::WriteFailed;
}
