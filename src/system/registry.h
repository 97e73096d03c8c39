#pragma once

#include <QString>
#include <QVariant>

// Single values under HKEY_LOCAL_MACHINE, as the program reads and writes them, mapped onto
// the state Linux really keeps:
//   "SYSTEM\CurrentControlSet\Services\<Name>" exists while the systemd user unit
//     "<name in lower case>.service" exists; its "DisplayName" is the unit's Description.
//   "SOFTWARE\Microsoft\Windows\CurrentVersion\Run" is the XDG autostart directory; value
//     "<Name>" is the Exec line of "<Name>.desktop". The empty text writes the entry hidden,
//     and a hidden entry reads as the empty text.
//   "SOFTWARE\Microsoft\Shared Tools\MSINFO" "PATH" is a system-information program on PATH.
// Every other key is absent. Keys and value names are matched without regard to case, as in
// the registry. A value is empty (an invalid QVariant), a text or a 32-bit number; the empty
// value's text is the empty text. No routine creates or deletes a key.
namespace registry {

inline constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002;

// The keys the program reads and writes; a service's key is the first followed by its name.
inline constexpr char16_t kServicesKey[] = u"SYSTEM\\CurrentControlSet\\Services\\";
inline constexpr char16_t kRunKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char16_t kSystemInformationKey[] = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr qint32 REG_SZ = 1;
inline constexpr qint32 REG_DWORD = 4;

// Statuses: 0, a system error code, or -1 for a value of a type not handled.
inline constexpr qint32 ERROR_SUCCESS = 0;
inline constexpr qint32 ERROR_FILE_NOT_FOUND = 2;
inline constexpr qint32 ERROR_ACCESS_DENIED = 5;
inline constexpr qint32 ERROR_INVALID_HANDLE = 6;
inline constexpr qint32 ERROR_WRITE_FAULT = 29;
inline constexpr qint32 ERROR_INVALID_PARAMETER = 87;

// An open key. The default one stands for a key that could not be opened.
struct RegKey
{
    enum class Kind
    {
        None,
        Service,
        Run,
        SystemInformation
    };
    Kind kind = Kind::None;
    QString name; // the service's name under the services key
};

// Writes one value: type 1 the value as text, type 4 the value as a 32-bit number (these
// locations keep text, so as its decimal text); any other type writes nothing and gives 0.
qint32 RegWriteValue(const RegKey& hKey, const QString& name, qint32 type, const QVariant& value);
// Opens the key, writes the value, closes the key; every status is discarded.
void RegWriteKeyValue(quint32 root, const QString& path, const QString& name, const QVariant& value,
                      qint32 type);
// Reads one value into `value`; on any failure `value` is left as it was.
qint32 RegReadValue(const RegKey& hKey, const QString& name, QVariant& value);
// The value under the key, or empty when nothing could be read.
QVariant RegReadKeyValue(quint32 root, const QString& path, const QString& name);

} // namespace registry
