#include "ui/HelpViewer.h"

#include "system/AppIdentity.h"
#include "ui/AppIcon.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget* owner) : QWidget(owner, Qt::Window), m_browser(new QTextBrowser)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(AppIdentity::Title() + QStringLiteral(" Help"));
    setWindowIcon(AppIcon::Icon());
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 36);
}

void HelpViewer::Open(const QString& helpFile, int context)
{
    if (QFileInfo::exists(helpFile)) {
        QUrl url = QUrl::fromLocalFile(helpFile);
        if (context != 0)
            url.setFragment(QString::number(context));
        // The file's name does not say it is HTML, so the type is given.
        m_browser->setSource(url, QTextDocument::HtmlResource);
    } else {
        m_browser->setPlainText(QStringLiteral("The help file %1 cannot be found.").arg(helpFile));
    }
    show();
    raise();
    activateWindow();
}
