#pragma once

#include <QWidget>

class QTextBrowser;

// The help viewer: a window of its own, owned by the main window, showing the help file.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* owner);

    // Shows the help file with the heading of the anchor named after `context` at the top of
    // the view, or its beginning for 0.
    void Open(const QString& helpFile, int context);

    QTextBrowser* browser() const { return m_browser; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitBottomMargin();

    QTextBrowser* m_browser;
};
