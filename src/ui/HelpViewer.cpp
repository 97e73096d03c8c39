#include "ui/HelpViewer.h"

#include "system/AppIdentity.h"
#include "ui/AppIcon.h"

#include <QEvent>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextFrame>
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
    m_browser->viewport()->installEventFilter(this);
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
    // Only now has the document been laid out at the size it is shown in.
    fitBottomMargin();
    if (context != 0)
        m_browser->scrollToAnchor(QString::number(context));
    else
        m_browser->verticalScrollBar()->setValue(0);
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_browser->viewport() && event->type() == QEvent::Resize)
        fitBottomMargin();
    return QWidget::eventFilter(watched, event);
}

// Room below the end as tall as the view, so that a topic near the end can still be scrolled
// to the top of the view like every other.
void HelpViewer::fitBottomMargin()
{
    QTextFrame* root = m_browser->document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    const int height = m_browser->viewport()->height();
    if (format.bottomMargin() == height)
        return;
    format.setBottomMargin(height);
    root->setFrameFormat(format);
}
