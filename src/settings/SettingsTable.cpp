#include "settings/SettingsTable.h"

#include "system/cWinVer.h"

using namespace Qt::StringLiterals;

namespace SettingsKeys {

const std::array<Key, 10>& Table()
{
    using C = Conversion;
    static const std::array<Key, 10> table = {{
        {u"Host"_s, u"Host"_s, [](int) { return PlaceholderHost(); }, C::Text, &Settings::sHost},
        {u"User"_s, u"USer"_s, [](int) { return u"anonymous"_s; }, C::Text, &Settings::sUser},
        {u"Pword"_s, u"Pword"_s, [](int) { return QString(); }, C::Text, &Settings::sPword},
        {u"Dir"_s, u"Dir"_s, [](int) { return u"/"_s; }, C::Directory, &Settings::sTargetdir},
        {u"proxy"_s, u"Proxy"_s, [](int) { return QString(); }, C::Text, &Settings::sProxy},
        {u"Refresh"_s, u"Refresh"_s,
         [](int) { return RefreshText(QString::number(kDefaultRefreshMinutes)); }, C::Minutes,
         &Settings::lUpdateFrequency},
        {u"AutoProcess"_s, u"AutoProcess"_s, [](int) { return u"00"_s; }, C::Switch,
         &Settings::ProcessingEnabled},
        {u"StartMinimized"_s, u"StartMinimized"_s, [](int) { return u"00"_s; }, C::Switch,
         &Settings::StartMinimized},
        {u"RunAsService"_s, u"RunAsService"_s, [](int) { return u"00"_s; }, C::Switch,
         &Settings::Service},
        {u"Adapter"_s, u"Adapter"_s,
         [](int platformId) {
             return platformId == cWinVer::WindowsNT ? u"NdisWan"_s : u"PPP Adapter"_s;
         },
         C::Text, &Settings::sAdapterIdentity},
    }};
    return table;
}

} // namespace SettingsKeys
