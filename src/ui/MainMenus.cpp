#include "ui/MainMenus.h"

#include "ui/ContextIDs.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* entry(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* submenu(QMenu* menu, const char* name, int helpContext)
{
    menu->setObjectName(QLatin1String(name));
    ContextIDs::SetHelpContext(menu, helpContext);
    return menu;
}

} // namespace

MainMenus::MainMenus(QMainWindow& window) : QObject(&window)
{
    QMenuBar* bar = window.menuBar();
    mnuFile = submenu(bar->addMenu(QStringLiteral("&File")), "mnuFile", 210);
    mnuProcess = entry(mnuFile, "mnuProcess", QStringLiteral("&Update now"));
    mnuProperties = entry(mnuFile, "mnuProperties", QStringLiteral("&Properties"));
    mnuTargets = entry(mnuFile, "mnuTargets", QStringLiteral("&DNS and hook..."));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuLine2"));
    mnuAutoUpdate = entry(mnuFile, "mnuAutoUpdate", QStringLiteral("Auto update"));
    mnuAutoUpdate->setCheckable(true);
    mnuAutoUpdate->setChecked(true);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuLine1"));
    mnuExit = entry(mnuFile, "mnuExit", QStringLiteral("E&xit"));

    mnuHelp = submenu(bar->addMenu(QStringLiteral("&Help")), "mnuHelp", 220);
    mnuHelpContents = entry(mnuHelp, "mnuHelpContents", QStringLiteral("&Help contents"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnu_Line3"));
    mnuAbout = entry(mnuHelp, "mnuAbout", QStringLiteral("&About"));

    // Never on the menu bar: the tray icon's pop-up only.
    mnuSystray = submenu(new QMenu(QStringLiteral("Systray"), &window), "mnuSystray", 230);
    mnuSTHide = entry(mnuSystray, "mnuSTHide", QStringLiteral("Hide"));
    mnuSTShow = entry(mnuSystray, "mnuSTShow", QStringLiteral("Show"));
    mnuSTExit = entry(mnuSystray, "mnuSTExit", QStringLiteral("Exit"));
    mnuSystray->addSeparator()->setObjectName(QStringLiteral("mnuLine3"));
    mnuSTAbout = entry(mnuSystray, "mnuSTAbout", QStringLiteral("About Hostvane"));
    // No handler: choosing it only closes the pop-up.
    mnuSTCancel = entry(mnuSystray, "mnuSTCancel", QStringLiteral("Cancel"));

    connect(mnuSTHide, &QAction::triggered, &window, &QWidget::hide);
    // Restores a minimised or hidden window to its normal state.
    connect(mnuSTShow, &QAction::triggered, &window, &QWidget::showNormal);
    connect(mnuSystray, &QMenu::aboutToShow, this, [this] {
        const bool free = QApplication::activeModalWidget() == nullptr;
        for (QAction* busy : {mnuSTHide, mnuSTExit, mnuSTAbout})
            busy->setEnabled(free);
    });
}

void MainMenus::PopupSystray()
{
    mnuSystray->popup(QCursor::pos());
}
