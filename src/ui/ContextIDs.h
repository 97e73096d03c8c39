#pragma once

#include "ui/HelpViewer.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The program's on-line help: the help file "HostVane.HLP" in the program directory, an
// in-process viewer owned by the main window, and F1, which opens the topic of the window or
// open menu it was pressed in. Windows and menus carry their topic numbers as the property
// "HelpContextID"; F1 uses the nearest one found from the widget that received the key up
// through its parents.
class ContextIDs : public QObject
{
    Q_OBJECT
public:
    // The help file in `directory`, joined without doubling a separator that ends it.
    static QString HelpFilePath(const QString& directory);
    static void SetHelpContext(QObject* carrier, int context);
    // The topic number of `widget` or of its nearest parent that has one; 0 when none has.
    static int HelpContextOf(const QObject* widget);

    // Remembers the viewer's owner and the help file's path; a second call overwrites both.
    // From then on F1 opens topics.
    void InitHelp(QWidget* owner, const QString& programDirectory);
    // Opens the viewer on the help file's contents page.
    void ShowHelpContents();
    // Opens the viewer on one topic, in front of whatever window has the user's attention.
    void ShowTopic(int context);
    // Closes the viewer, if it is open.
    void QuitHelp();

    QString HelpFile() const { return m_helpFile; }
    QWidget* HelpOwner() const { return m_owner; }
    HelpViewer* Viewer() const { return m_viewer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_owner;
    QString m_helpFile;
    QPointer<HelpViewer> m_viewer;
    bool m_filtering = false;
};
