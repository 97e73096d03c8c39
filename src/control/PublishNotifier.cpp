#include "control/PublishNotifier.h"

#include "control/DesktopNotice.h"
#include "system/AppIdentity.h"

void PublishNotifier::CheckFinished(bool Published, bool Success, bool Unseen, bool Service)
{
    if (!Published || Service)
        return;
    if (!Success && Unseen && !m_failureTold) {
        m_failureTold = true;
        m_notice.Notify(AppIdentity::Title(),
                        QStringLiteral("The redirector page could not be published. HostVane "
                                       "tries again at the next check."));
    } else if (Success && m_failureTold) {
        m_failureTold = false;
        m_notice.Notify(AppIdentity::Title(),
                        QStringLiteral("The redirector page is published again."));
    }
}
