#include "settings/Settings.h"

#include "settings/SettingsStore.h"
#include "system/RuntimeFormat.h"
#include "system/cWinVer.h"

// The keys of the store. Two are read and written under different spellings ("User"/"USer",
// "proxy"/"Proxy"); the store matches keys without regard to case, so both name one value.
namespace {

const QString kHost = QStringLiteral("Host");
const QString kUserRead = QStringLiteral("User");
const QString kUserWrite = QStringLiteral("USer");
const QString kPword = QStringLiteral("Pword");
const QString kDir = QStringLiteral("Dir");
const QString kProxyRead = QStringLiteral("proxy");
const QString kProxyWrite = QStringLiteral("Proxy");
const QString kRefresh = QStringLiteral("Refresh");
const QString kAutoProcess = QStringLiteral("AutoProcess");
const QString kStartMinimized = QStringLiteral("StartMinimized");
const QString kRunAsService = QStringLiteral("RunAsService");
const QString kAdapter = QStringLiteral("Adapter");

constexpr qint32 kDefaultRefresh = 5;

} // namespace

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
    return ok ? minutes : kDefaultRefresh;
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
    const QString adapterDefault = platformId == cWinVer::WindowsNT ? QStringLiteral("NdisWan")
                                                                    : QStringLiteral("PPP Adapter");
    Settings s;
    s.sHost = store.get(kHost, PlaceholderHost());
    s.sUser = store.get(kUserRead, QStringLiteral("anonymous"));
    s.sPword = store.get(kPword, QString());
    s.sTargetdir = WithTrailingSlash(store.get(kDir, QStringLiteral("/")));
    s.sProxy = store.get(kProxyRead, QString());
    s.lUpdateFrequency = RefreshMinutes(store.get(kRefresh, QStringLiteral("05")));
    s.ProcessingEnabled = TextToBool(store.get(kAutoProcess, QStringLiteral("00")));
    s.StartMinimized = TextToBool(store.get(kStartMinimized, QStringLiteral("00")));
    s.Service = TextToBool(store.get(kRunAsService, QStringLiteral("00")));
    s.sAdapterIdentity = store.get(kAdapter, adapterDefault);
    s.sTargetUrl = QStringLiteral("FTP://") + s.sHost;
    return s;
}

void Save(SettingsStore& store, const SettingsInput& input)
{
    store.save(kHost, TrimBlanks(input.txHost));
    store.save(kUserWrite, TrimBlanks(input.txUser));
    store.save(kPword, TrimBlanks(input.txPword));
    store.save(kDir, TrimBlanks(input.txDir));
    store.save(kProxyWrite, TrimBlanks(input.txProxy));
    store.save(kRefresh, RefreshText(input.txRefresh));
    store.save(kAutoProcess, BoolText(input.chkEnabled));
    store.save(kStartMinimized, BoolText(input.chkMinimize));
    store.save(kRunAsService, BoolText(input.chkService));
    store.save(kAdapter, TrimBlanks(input.txIdentifier));
    store.sync();
}

} // namespace SettingsKeys
