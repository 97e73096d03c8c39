#pragma once

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

// The main window's commands: the File and Help menus on the menu bar and the tray's pop-up
// "Systray", built once from one set of actions. Hide and Show act on the window directly; the
// window connects the rest to its handlers.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    explicit MainMenus(QMainWindow& window);

    // Shows the tray pop-up at the mouse pointer. Whoever opens it (this, or a desktop that
    // draws the tray icon's menu itself), while a dialog or message box is open only Show and
    // Cancel can act: the rest is disabled until it has closed.
    void PopupSystray();

    QMenu* mnuFile = nullptr;
    QAction* mnuProcess = nullptr;
    QAction* mnuProperties = nullptr;
    QAction* mnuTargets = nullptr;
    QAction* mnuAutoUpdate = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuAbout = nullptr;
    QMenu* mnuSystray = nullptr;
    QAction* mnuSTHide = nullptr;
    QAction* mnuSTShow = nullptr;
    QAction* mnuSTExit = nullptr;
    QAction* mnuSTAbout = nullptr;
    QAction* mnuSTCancel = nullptr;
};
