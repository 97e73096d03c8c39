#include "settings/Secrets.h"

using namespace Qt::StringLiterals;

const std::array<Secrets::Secret, 3>& Secrets::Table()
{
    static const std::array<Secret, 3> table = {{
        {u"Settings"_s, u"Pword"_s, u"Pword"_s, u"ftp-password"_s, u"the FTP password"_s,
         &Settings::sPword},
        {u"Dns"_s, u"TsigSecret"_s, u"Dns/TsigSecret"_s, u"tsig-secret"_s, u"the TSIG secret"_s,
         &Settings::sTsigSecret},
        {u"DynDns"_s, u"Password"_s, u"DynDns/Password"_s, u"dyndns-password"_s,
         u"the dynamic-DNS password"_s, &Settings::sDynDnsPassword},
    }};
    return table;
}
