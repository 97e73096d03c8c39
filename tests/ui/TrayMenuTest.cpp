#include "QuietWindowTest.h"
#include "ui/MainMenus.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class TrayMenuTest : public QuietWindowTest
{
protected:
    static QStringList captions(const QMenu* menu)
    {
        QStringList texts;
        for (const QAction* entry : menu->actions()) {
            texts.append(entry->isSeparator() ? QStringLiteral("-") : entry->text());
            EXPECT_TRUE(entry->shortcut().isEmpty()) << entry->text().toStdString();
        }
        return texts;
    }
    bool iconShown() { return window->tray().icon().isVisible(); }
};

TEST_F(TrayMenuTest, MenuBarAndTrayPopupHoldTheWholeTree)
{
    frmHostVane& w = start();
    QStringList bar;
    for (const QAction* entry : w.menuBar()->actions())
        bar.append(entry->text());
    EXPECT_EQ(bar, QStringList({QStringLiteral("&File"), QStringLiteral("&Help")}));
    const MainMenus& menus = w.menus();
    EXPECT_EQ(
        captions(menus.mnuFile),
        QStringList({QStringLiteral("&Update now"), QStringLiteral("&Properties"),
                     QStringLiteral("&DNS and hook..."), QStringLiteral("-"),
                     QStringLiteral("Auto update"), QStringLiteral("-"), QStringLiteral("E&xit")}));
    EXPECT_EQ(captions(menus.mnuHelp),
              QStringList({QStringLiteral("&Help contents"), QStringLiteral("-"),
                           QStringLiteral("&About")}));
    EXPECT_EQ(captions(menus.mnuSystray),
              QStringList({QStringLiteral("Hide"), QStringLiteral("Show"), QStringLiteral("Exit"),
                           QStringLiteral("-"), QStringLiteral("About Hostvane"),
                           QStringLiteral("Cancel")}));
    EXPECT_EQ(w.tray().icon().toolTip(), QStringLiteral("Hostvane Internet Redirector"));
}

TEST_F(TrayMenuTest, AnyButtonOpensThePopupInEveryWindowState)
{
    frmHostVane& w = start();
    QMenu* popup = w.menus().mnuSystray;
    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::Trigger,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick}) {
        w.hide();
        emit w.tray().icon().activated(reason);
        EXPECT_TRUE(popup->isVisible()) << reason;
        action("mnuSTCancel")->trigger();
        popup->close();
        EXPECT_FALSE(w.isVisible()) << "Cancel changed the window";
        EXPECT_TRUE(iconShown());
        w.showMinimized();
        emit w.tray().icon().activated(reason);
        EXPECT_TRUE(popup->isVisible()) << reason;
        popup->close();
    }
}

// A dialog or message box that is open leaves the pop-up working; what cannot act while it is
// open (Hide, Exit, About) is disabled, and enabled again once it has closed.
TEST_F(TrayMenuTest, ThePopupOpensOverAnOpenDialog)
{
    frmHostVane& w = start();
    QMenu* popup = w.menus().mnuSystray;
    QDialog dialog(&w);
    bool shown = false;
    QStringList enabled;
    QTimer::singleShot(0, [&] {
        emit w.tray().icon().activated(QSystemTrayIcon::Trigger);
        shown = popup->isVisible();
        for (QAction* item : popup->actions()) {
            if (item->isEnabled() && !item->isSeparator())
                enabled.append(item->text());
        }
        popup->close();
        dialog.reject();
    });
    dialog.exec();
    EXPECT_TRUE(shown);
    EXPECT_EQ(enabled, QStringList({QStringLiteral("Show"), QStringLiteral("Cancel")}));
    emit w.tray().icon().activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(action("mnuSTExit")->isEnabled());
    popup->close();
}

TEST_F(TrayMenuTest, HideLeavesTheIconAndShowRestoresToNormal)
{
    frmHostVane& w = start();
    action("mnuSTHide")->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(iconShown());
    action("mnuSTShow")->trigger();
    EXPECT_TRUE(w.isVisible());

    w.showMinimized();
    action("mnuSTShow")->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    EXPECT_EQ(w.windowState(), Qt::WindowNoState);
}

TEST_F(TrayMenuTest, TrayIconIsSetOnlyWhenItsStateChanges)
{
    frmHostVane& w = start();
    ASSERT_TRUE(iconShown()) << "start-up puts the icon in place";
    // Something else took the icon away: the switch compares with what it last set, so a
    // second "on" does not touch the icon ...
    w.tray().icon().hide();
    w.EnableTrayIcon(true);
    EXPECT_FALSE(iconShown());
    // ... while a real change does, and the tick puts a removed icon back within six ticks.
    w.EnableTrayIcon(false);
    w.EnableTrayIcon(true);
    EXPECT_TRUE(iconShown());
    w.EnableTrayIcon(false);
    w.controller().timSeconds_Timer();
    EXPECT_TRUE(iconShown()) << "the first tick re-asserts the icon";
    w.EnableTrayIcon(false);
    for (int tick = 2; tick <= 6; ++tick)
        w.controller().timSeconds_Timer();
    EXPECT_FALSE(iconShown());
    w.controller().timSeconds_Timer();
    EXPECT_TRUE(iconShown()) << "the seventh tick re-asserts the icon";
}

TEST_F(TrayMenuTest, TrayExitAsksLikeFileExitAndUnloadRemovesTheIcon)
{
    frmHostVane& w = start();
    prompt.answers = {Prompt::Answer::Cancel, Prompt::Answer::Ok};
    action("mnuSTExit")->trigger();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].text, QStringLiteral("Really want to quit?"));
    EXPECT_TRUE(iconShown());
    action("mnuSTExit")->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(iconShown());
}

} // namespace
