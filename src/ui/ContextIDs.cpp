#include "ui/ContextIDs.h"

#include "system/RuntimeFormat.h"
#include "ui/HelpViewer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVariant>
#include <QWidget>

namespace {
const char* const kHelpContextProperty = "HelpContextID";
}

QString ContextIDs::HelpFilePath(const QString& directory)
{
    const QString trimmed = TrimBlanks(directory);
    const bool endsInSeparator = trimmed.endsWith(QLatin1Char('/'));
    return directory + (endsInSeparator ? QString() : QStringLiteral("/")) +
           QStringLiteral("HostVane.HLP");
}

void ContextIDs::SetHelpContext(QObject* carrier, int context)
{
    carrier->setProperty(kHelpContextProperty, context);
}

int ContextIDs::HelpContextOf(const QObject* widget)
{
    for (const QObject* carrier = widget; carrier != nullptr; carrier = carrier->parent()) {
        const int context = carrier->property(kHelpContextProperty).toInt();
        if (context != 0)
            return context;
    }
    return 0;
}

void ContextIDs::InitHelp(QWidget* owner, const QString& programDirectory)
{
    m_owner = owner;
    m_helpFile = HelpFilePath(programDirectory);
    if (!m_filtering) {
        qApp->installEventFilter(this);
        m_filtering = true;
    }
}

void ContextIDs::ShowHelpContents()
{
    ShowTopic(0);
}

void ContextIDs::ShowTopic(int context)
{
    // While a modal dialog is open every other window is blocked, so help asked for from the
    // dialog is given a viewer of the dialog's own, which goes with it.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* owner = modal != nullptr ? modal : m_owner.data();
    if (!m_viewer.isNull() && m_viewer->parentWidget() != owner)
        delete m_viewer;
    if (m_viewer.isNull())
        m_viewer = new HelpViewer(owner);
    m_viewer->Open(m_helpFile, context);
}

void ContextIDs::QuitHelp()
{
    delete m_viewer;
}

bool ContextIDs::eventFilter(QObject* watched, QEvent* event)
{
    // Key events reach the window system's window first and then the widget with the focus
    // (or the open menu); only the widget tells whose topic it is.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return false;
    const int context = HelpContextOf(watched);
    if (context == 0)
        return false;
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    ShowTopic(context);
    return true;
}
