#include "system/registry.h"

#include "platform/Autostart.h"
#include "platform/ServiceManager.h"
#include "platform/SystemInformation.h"

namespace registry {

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

qint32 writeAutostart(const QString& name, const QString& commandLine)
{
    switch (Autostart::Write(name, commandLine)) {
    case Autostart::WriteResult::Written:
        return ERROR_SUCCESS;
    case Autostart::WriteResult::BadName:
        return ERROR_INVALID_PARAMETER;
    case Autostart::WriteResult::NoAccess:
        return ERROR_ACCESS_DENIED;
    case Autostart::WriteResult::WriteFailed:
        return ERROR_WRITE_FAULT;
    }
    return ERROR_WRITE_FAULT;
}

qint32 readText(const std::optional<QString>& text, QVariant& value)
{
    if (!text)
        return ERROR_FILE_NOT_FOUND;
    value = *text;
    return ERROR_SUCCESS;
}

RegKey RegOpenKey(quint32 root, const QString& path)
{
    if (root != HKEY_LOCAL_MACHINE || !Autostart::Available())
        return {};
    if (sameName(path, QString::fromUtf16(kRunKey)))
        return {RegKey::Kind::Run, QString()};
    if (sameName(path, QString::fromUtf16(kSystemInformationKey)))
        return SystemInformation::Program().isEmpty()
                   ? RegKey{}
                   : RegKey{RegKey::Kind::SystemInformation, QString()};
    const QString servicesKey = QString::fromUtf16(kServicesKey);
    if (path.startsWith(servicesKey, Qt::CaseInsensitive)) {
        const QString name = path.mid(servicesKey.size());
        if (ServiceManager::HasUnit(name))
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
        return readText(Autostart::CommandLine(name), value);
    case RegKey::Kind::Service:
        if (!sameName(name, QStringLiteral("DisplayName")))
            return ERROR_FILE_NOT_FOUND;
        return readText(ServiceManager::UnitDescription(hKey.name), value);
    case RegKey::Kind::SystemInformation: {
        if (!sameName(name, QStringLiteral("PATH")))
            return ERROR_FILE_NOT_FOUND;
        // It may be gone since the key was opened.
        const QString program = SystemInformation::Program();
        return readText(program.isEmpty() ? std::nullopt : std::optional(program), value);
    }
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
