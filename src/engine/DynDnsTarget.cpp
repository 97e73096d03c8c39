#include "engine/DynDnsTarget.h"

#include "components/HttpGet.h"
#include "engine/CheckHost.h"
#include "engine/ErrorReporter.h"
#include "engine/TargetNames.h"
#include "platform/RegularFile.h"
#include "settings/Settings.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/OffThread.h"
#include "system/RuntimeFormat.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QString kTrustedAuthorities = QStringLiteral("dyndns-ca.pem");
constexpr qsizetype kLongestAnswer = 1024;

// What identifies the settings a refusal was for.
QString fingerprint(const Settings& s)
{
    return QStringList{s.sDynDnsUrl, s.sDynDnsUser, s.sDynDnsPassword, s.sDynDnsNames}.join(
        QChar(0));
}

// The update URL with its query, or empty with `problem` set.
QString updateUrl(const QString& written, const QStringList& names, const CheckAddresses& found,
                  QString& problem)
{
    QUrl url(written.contains(QStringLiteral("://")) ? written
                                                     : QStringLiteral("https://") + written);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) {
        problem = QStringLiteral("the URL \"%1\" is not an https:// (or http://) address")
                      .arg(PrintableText(written));
        return {};
    }
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("hostname"), names.join(QLatin1Char(',')));
    query.addQueryItem(QStringLiteral("myip"), found.List().join(QLatin1Char(',')));
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

QByteArray trustedAuthorities()
{
    QFile file(kTrustedAuthorities);
    return file.exists() && OpenRegularFile(file, QIODevice::ReadOnly) ? file.readAll()
                                                                       : QByteArray();
}

} // namespace

bool DynDnsTarget::Enabled(const Settings& settings) const
{
    return !settings.sDynDnsUrl.isEmpty();
}

PublishTarget::Result DynDnsTarget::Publish(const CheckAddresses& addresses,
                                            const PublishContext& context)
{
    const Settings& settings = context.settings;
    if (!m_stoppedFor.isEmpty() && m_stoppedFor == fingerprint(settings)) {
        m_host.EventMsg(QStringLiteral("DynDNS update not sent: the provider refused the last "
                                       "one; change the DynDNS settings to try again"));
        return Result::Failed;
    }
    m_stoppedFor.clear();
    if (m_notBefore.isValid() && m_clock.now() < m_notBefore) {
        m_host.EventMsg(QStringLiteral("DynDNS update not sent: the provider asked to wait "
                                       "until ") +
                        FormatDate(m_notBefore, kPanelTimePattern));
        return Result::Failed;
    }
    QString problem;
    const QStringList names = TargetNames(settings.sDynDnsNames);
    const QString url =
        names.isEmpty() ? QString() : updateUrl(settings.sDynDnsUrl, names, addresses, problem);
    if (url.isEmpty()) {
        m_host.EventMsg(QStringLiteral("DynDNS update not sent: ") +
                        (names.isEmpty() ? QStringLiteral("enter at least one name") : problem));
        return Result::Failed;
    }
    m_host.EventMsg(QStringLiteral("DynDNS update sent: ") + url);
    const HttpGetRequest request{url,
                                 settings.sDynDnsUser,
                                 settings.sDynDnsPassword,
                                 QStringLiteral("HostVane/%1").arg(AppIdentity::Version()).toUtf8(),
                                 trustedAuthorities(),
                                 10,
                                 kLongestAnswer};
    const HttpGetResult result = WaitOffThread([&] { return HttpGet(request); });
    if (!result.error.isEmpty()) {
        m_host.EventMsg(QStringLiteral("DynDNS update failed: ") + PrintableText(result.error));
        return Result::Failed;
    }
    m_host.EventMsg(QStringLiteral("DynDNS provider answered %1: %2")
                        .arg(result.status)
                        .arg(PrintableText(QString::fromUtf8(result.body)
                                               .trimmed()
                                               .replace(QLatin1Char('\n'), QLatin1Char('|')))));
    if (result.cut) {
        m_host.EventMsg(QStringLiteral("DynDNS update failed: the answer is longer than %1 bytes")
                            .arg(kLongestAnswer));
        return Result::Failed;
    }
    if (result.status != 200) {
        m_host.EventMsg(QStringLiteral("DynDNS update failed: HTTP status %1").arg(result.status));
        return Result::Failed;
    }
    const bool success = judge(result.body, settings);
    m_host.EventMsg(success ? QStringLiteral("DynDNS update accepted")
                            : QStringLiteral("DynDNS update NOT accepted"));
    return success ? Result::Published : Result::Failed;
}

bool DynDnsTarget::judge(const QByteArray& answer, const Settings& settings)
{
    static const QStringList stopping = {QStringLiteral("badauth"), QStringLiteral("notfqdn"),
                                         QStringLiteral("nohost"),  QStringLiteral("numhost"),
                                         QStringLiteral("abuse"),   QStringLiteral("badagent")};
    const QStringList lines =
        QString::fromUtf8(answer).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    bool success = !lines.isEmpty();
    for (const QString& line : lines) {
        // The answer's word, whatever follows it.
        static const QRegularExpression leadingWord(QStringLiteral("^\\s*([a-z0-9]*)"),
                                                    QRegularExpression::CaseInsensitiveOption);
        const QString word = leadingWord.match(line).captured(1).toLower();
        if (word == QLatin1String("good") || word == QLatin1String("nochg"))
            continue;
        success = false;
        if (stopping.contains(word)) {
            m_stoppedFor = fingerprint(settings);
            m_errors.LogError(QStringLiteral("The DynDNS provider answered \"%1\": no more "
                                             "updates are sent to it until its settings change "
                                             "(File > DNS and hook).")
                                  .arg(PrintableText(word)));
            break;
        }
        if (word == QLatin1String("dnserr") || word == QLatin1String("911"))
            m_notBefore = m_clock.now().addSecs(kWaitAfterServerTrouble);
    }
    return success;
}
