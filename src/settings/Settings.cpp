#include "settings/Settings.h"

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "settings/TargetSettings.h"
#include "system/RuntimeFormat.h"

#include <type_traits>

namespace SettingsKeys {

bool TextToBool(const QString& text)
{
    const QString value = text.trimmed();
    if (value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool numeric = false;
    const double number = value.toDouble(&numeric);
    return numeric && number != 0.0;
}

qint32 RefreshMinutes(const QString& text)
{
    bool ok = false;
    const qint32 minutes = text.trimmed().toInt(&ok, 10);
    return ok ? minutes : kDefaultRefreshMinutes;
}

QString RefreshText(const QString& typed)
{
    bool ok = false;
    const qint32 minutes = typed.trimmed().toInt(&ok, 10);
    if (!ok)
        return typed;
    const QString digits = QStringLiteral("%1").arg(qAbs(minutes), 2, 10, QLatin1Char('0'));
    return minutes < 0 ? QLatin1Char('-') + digits : digits;
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("001") : QStringLiteral("000");
}

QString WithTrailingSlash(const QString& directory)
{
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}

Settings Load(const SettingsStore& store, int platformId)
{
    Settings s;
    for (const Key& key : Table()) {
        const QString text = store.get(key.read, key.fallback(platformId));
        switch (key.conversion) {
        case Conversion::Text:
            s.*std::get<QString Settings::*>(key.variable) = text;
            break;
        case Conversion::Directory:
            s.*std::get<QString Settings::*>(key.variable) = WithTrailingSlash(text);
            break;
        case Conversion::Minutes:
            s.*std::get<qint32 Settings::*>(key.variable) = RefreshMinutes(text);
            break;
        case Conversion::Switch:
            s.*std::get<bool Settings::*>(key.variable) = TextToBool(text);
            break;
        }
    }
    s.sTargetUrl = QStringLiteral("FTP://") + s.sHost;
    TargetSettings::Load(store, s);
    return s;
}

bool Save(SettingsStore& store, const SettingValues& values)
{
    for (const Key& key : Table()) {
        const QVariant value = values.value(key.read);
        switch (key.conversion) {
        case Conversion::Text:
        case Conversion::Directory:
            store.save(key.write, TrimBlanks(value.toString()));
            break;
        case Conversion::Minutes:
            store.save(key.write, RefreshText(value.toString()));
            break;
        case Conversion::Switch:
            store.save(key.write, BoolText(value.toBool()));
            break;
        }
    }
    return store.sync();
}

SettingValues Shown(const Settings& settings)
{
    SettingValues shown;
    for (const Key& key : Table()) {
        std::visit(
            [&](auto member) {
                const auto& variable = settings.*member;
                if constexpr (std::is_same_v<std::decay_t<decltype(variable)>, qint32>)
                    shown.insert(key.read, QString::number(variable));
                else
                    shown.insert(key.read, variable);
            },
            key.variable);
    }
    return shown;
}

} // namespace SettingsKeys
