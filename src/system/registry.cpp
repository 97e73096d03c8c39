#include "system/registry.h"

#include "system/XdgPaths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <optional>

namespace registry {

namespace {

const QString kServicesPrefix = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\");
const QString kRunPath = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kMsinfoPath = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kDesktopGroup = QStringLiteral("Desktop Entry");

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A name that stays one file name inside its directory.
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

QString unitPath(const QString& serviceName)
{
    return XdgPaths::ConfigHome() + QStringLiteral("/systemd/user/") + serviceName.toLower() +
           QStringLiteral(".service");
}

QString autostartDir()
{
    return XdgPaths::ConfigHome() + QStringLiteral("/autostart");
}

// The entry of `name`, matched without regard to case as registry value names are.
QString autostartPath(const QString& name)
{
    const QString fileName = name + QStringLiteral(".desktop");
    const QStringList present = QDir(autostartDir()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& candidate : present) {
        if (sameName(candidate, fileName))
            return autostartDir() + QLatin1Char('/') + candidate;
    }
    return autostartDir() + QLatin1Char('/') + fileName;
}

QString systemInformationProgram()
{
    for (const char* candidate : {"hardinfo", "kinfocenter", "gnome-system-monitor"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(candidate));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

// The raw text of `key` in `[group]` of an INI-shaped file (a unit or a desktop entry);
// nothing when the file, the group or the key is missing.
std::optional<QString> entryValue(const QString& path, const QString& group, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    std::optional<QString> value;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key)
            value = line.mid(equals + 1).trimmed();
    }
    return value;
}

// A desktop entry's string value, read and written with its escapes.
QString unescapeDesktop(const QString& text)
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

QString escapeDesktop(const QString& text)
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

// The entry that starts `name` at log-on; a hidden one is how the empty text is kept.
qint32 writeAutostart(const QString& name, const QString& commandLine)
{
    if (!isPlainName(name))
        return ERROR_INVALID_PARAMETER;
    if (!QDir().mkpath(autostartDir()))
        return ERROR_ACCESS_DENIED;
    QString entry =
        QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n").arg(escapeDesktop(name));
    if (!commandLine.isEmpty())
        entry += QStringLiteral("Exec=%1\n").arg(escapeDesktop(commandLine));
    entry += QStringLiteral("Icon=hostvane\n");
    if (commandLine.isEmpty())
        entry += QStringLiteral("Hidden=true\n");
    QSaveFile file(autostartPath(name));
    if (!file.open(QIODevice::WriteOnly))
        return ERROR_ACCESS_DENIED;
    file.write(entry.toUtf8());
    return file.commit() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

qint32 readAutostart(const QString& name, QVariant& value)
{
    const QString path = autostartPath(name);
    if (!isPlainName(name) || !QFile::exists(path))
        return ERROR_FILE_NOT_FOUND;
    const auto hidden = entryValue(path, kDesktopGroup, QStringLiteral("Hidden"));
    if (hidden && sameName(*hidden, QStringLiteral("true")))
        value = QString();
    else
        value = unescapeDesktop(
            entryValue(path, kDesktopGroup, QStringLiteral("Exec")).value_or(QString()));
    return ERROR_SUCCESS;
}

qint32 readDescription(const QString& serviceName, QVariant& value)
{
    const auto description =
        entryValue(unitPath(serviceName), QStringLiteral("Unit"), QStringLiteral("Description"));
    if (!description)
        return ERROR_FILE_NOT_FOUND;
    // systemd doubles "%" in a Description so that no specifier is expanded.
    value = QString(*description).replace(QStringLiteral("%%"), QStringLiteral("%"));
    return ERROR_SUCCESS;
}

RegKey RegOpenKey(quint32 root, const QString& path)
{
    if (root != HKEY_LOCAL_MACHINE || XdgPaths::ConfigHome().isEmpty())
        return {};
    if (sameName(path, kRunPath))
        return {RegKey::Kind::Run, QString()};
    if (sameName(path, kMsinfoPath))
        return systemInformationProgram().isEmpty()
                   ? RegKey{}
                   : RegKey{RegKey::Kind::SystemInformation, QString()};
    if (path.startsWith(kServicesPrefix, Qt::CaseInsensitive)) {
        const QString name = path.mid(kServicesPrefix.size());
        if (isPlainName(name) && QFile::exists(unitPath(name)))
            return {RegKey::Kind::Service, name};
    }
    return {};
}

} // namespace

qint32 RegWriteValue(const RegKey& hKey, const QString& name, qint32 type, const QVariant& value)
{
    if (type != REG_SZ && type != REG_DWORD)
        return ERROR_SUCCESS;
    if (hKey.kind == RegKey::Kind::None)
        return ERROR_INVALID_HANDLE;
    // Only the log-on list is the user's to change; services and the system-information
    // program belong to their own tools.
    if (hKey.kind != RegKey::Kind::Run)
        return ERROR_ACCESS_DENIED;
    const QString text =
        type == REG_SZ ? value.toString() : QString::number(value.toString().toInt());
    return writeAutostart(name, text);
}

void RegWriteKeyValue(quint32 root, const QString& path, const QString& name, const QVariant& value,
                      qint32 type)
{
    RegWriteValue(RegOpenKey(root, path), name, type, value);
}

qint32 RegReadValue(const RegKey& hKey, const QString& name, QVariant& value)
{
    switch (hKey.kind) {
    case RegKey::Kind::None:
        return ERROR_INVALID_HANDLE;
    case RegKey::Kind::Run:
        return readAutostart(name, value);
    case RegKey::Kind::Service:
        if (!sameName(name, QStringLiteral("DisplayName")))
            return ERROR_FILE_NOT_FOUND;
        return readDescription(hKey.name, value);
    case RegKey::Kind::SystemInformation:
        if (!sameName(name, QStringLiteral("PATH")))
            return ERROR_FILE_NOT_FOUND;
        value = systemInformationProgram();
        return value.toString().isEmpty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
    }
    return ERROR_INVALID_HANDLE;
}

QVariant RegReadKeyValue(quint32 root, const QString& path, const QString& name)
{
    QVariant value;
    RegReadValue(RegOpenKey(root, path), name, value);
    return value;
}

} // namespace registry
