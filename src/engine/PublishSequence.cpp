#include "engine/PublishSequence.h"

#include "components/FileTransfer.h"
#include "engine/CheckHost.h"
#include "engine/FtpDriver.h"
#include "engine/PageGenerator.h"
#include "settings/Settings.h"
#include "system/RuntimeFormat.h"

namespace {
const QString kRemotePage = QStringLiteral("hostvane.html");
}

void PublishSequence::configure(const Settings& settings)
{
    const QString proxy = TrimBlanks(settings.sProxy);
    m_ftp1.URL = TrimBlanks(settings.sTargetUrl);
    m_ftp1.UserName = TrimBlanks(settings.sUser);
    m_ftp1.Password = TrimBlanks(settings.sPword);
    m_ftp1.RequestTimeout = m_requestTimeoutSeconds;
    m_ftp1.Proxy = proxy;
    m_ftp1.AccessType = proxy.isEmpty() ? FileTransfer::icDirect : FileTransfer::icNamedProxy;
}

bool PublishSequence::Enabled(const Settings& settings) const
{
    return settings.PublishPage;
}

PublishTarget::Result PublishSequence::Publish(const CheckAddresses& addresses,
                                               const PublishContext& context)
{
    const Settings& settings = context.settings;
    if (TrimBlanks(settings.sHost) == SettingsKeys::PlaceholderHost()) {
        m_host.EventMsg(QStringLiteral("Nothing published: enter your FTP server as the Host in "
                                       "File > Properties"));
        return Result::NotTried;
    }
    return upload(addresses, settings) ? Result::Published : Result::Failed;
}

bool PublishSequence::upload(const CheckAddresses& addresses, const Settings& settings)
{
    m_host.EventMsg(QStringLiteral("Preparing to upload new redirector page"));
    configure(settings);

    bool uploaded = false;
    if (m_pages.CreateHtm(addresses.ip, addresses.ip6) == 0) {
        m_host.EventMsg(QStringLiteral("Deleting old redirector page"));
        m_driver.FTPExecute(QStringLiteral("DELETE ") + settings.sTargetdir + kRemotePage);

        m_host.EventMsg(QStringLiteral("Uploading new redirector page"));
        m_driver.lLastFtpError = 0;
        m_driver.FTPExecute(QStringLiteral("PUT hostvane.htm ") + settings.sTargetdir +
                            kRemotePage);
        if (m_driver.lLastFtpError == 0) {
            ++m_driver.lUploadCount;
            uploaded = true;
        }

        m_host.EventMsg(QStringLiteral("Closing FTP connection"));
        m_driver.FTPExecute(QStringLiteral("CLOSE"));
    }
    m_host.EventMsg(QStringLiteral("Quitting FTP"));
    m_driver.FTPExecute(QStringLiteral("QUIT"));
    m_driver.ShowFtpStats();
    // The lines above end alike whether the page got there or not; this one says it did.
    if (uploaded)
        m_host.EventMsg(QStringLiteral("Page published and verified: %1%2 on %3")
                            .arg(settings.sTargetdir, kRemotePage, TrimBlanks(settings.sHost)));
    return uploaded;
}
