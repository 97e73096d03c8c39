#include "settings/TargetSettings.h"

#include "settings/SettingsStore.h"
#include "system/RuntimeFormat.h"

using namespace Qt::StringLiterals;

namespace TargetSettings {

namespace {

QString path(const Key& key)
{
    return key.group + QLatin1Char('/') + key.key;
}

} // namespace

const std::array<Key, 13>& Table()
{
    static const std::array<Key, 13> table = {{
        {u"Settings"_s, u"PublishPage"_s, u"1"_s, &Settings::PublishPage},
        {u"Dns"_s, u"Server"_s, QString(), &Settings::sDnsServer},
        {u"Dns"_s, u"Zone"_s, QString(), &Settings::sDnsZone},
        {u"Dns"_s, u"Name"_s, QString(), &Settings::sDnsNames},
        {u"Dns"_s, u"Ttl"_s, QString::number(kDefaultTtl), &Settings::lDnsTtl},
        {u"Dns"_s, u"TsigName"_s, QString(), &Settings::sTsigName},
        {u"Dns"_s, u"TsigAlgorithm"_s, u"hmac-sha256"_s, &Settings::sTsigAlgorithm},
        {u"Dns"_s, u"TsigSecret"_s, QString(), &Settings::sTsigSecret},
        {u"DynDns"_s, u"Url"_s, QString(), &Settings::sDynDnsUrl},
        {u"DynDns"_s, u"User"_s, QString(), &Settings::sDynDnsUser},
        {u"DynDns"_s, u"Password"_s, QString(), &Settings::sDynDnsPassword},
        {u"DynDns"_s, u"Name"_s, QString(), &Settings::sDynDnsNames},
        {u"Hook"_s, u"Command"_s, QString(), &Settings::sHookCommand},
    }};
    return table;
}

void Load(const SettingsStore& store, Settings& settings)
{
    for (const Key& key : Table()) {
        const QString text = TrimBlanks(store.get(key.group, key.key, key.fallback));
        std::visit(
            [&](auto member) {
                auto& variable = settings.*member;
                using Variable = std::decay_t<decltype(variable)>;
                if constexpr (std::is_same_v<Variable, QString>) {
                    variable = text;
                } else if constexpr (std::is_same_v<Variable, bool>) {
                    variable = SettingsKeys::TextToBool(text);
                } else {
                    bool ok = false;
                    const qint32 number = text.toInt(&ok);
                    variable = ok && number > 0 ? number : key.fallback.toInt();
                }
            },
            key.variable);
    }
}

bool Save(SettingsStore& store, const SettingValues& typed)
{
    for (const Key& key : Table()) {
        const QVariant value = typed.value(path(key));
        const bool isSwitch = std::holds_alternative<bool Settings::*>(key.variable);
        store.save(key.group, key.key,
                   isSwitch ? (value.toBool() ? u"1"_s : u"0"_s) : TrimBlanks(value.toString()));
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
                    shown.insert(path(key), QString::number(variable));
                else
                    shown.insert(path(key), variable);
            },
            key.variable);
    }
    return shown;
}

} // namespace TargetSettings
