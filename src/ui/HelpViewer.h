#pragma once

#include <QWidget>

class QTextBrowser;

// The help viewer: a window of its own, owned by the main window, showing the help file.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* owner);

    // Shows the help file at the anchor named after `context`, or at its top for 0.
    void Open(const QString& helpFile, int context);

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
