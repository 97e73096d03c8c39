#include "QuietWindowTest.h"
#include "ui/ContextIDs.h"
#include "ui/HelpViewer.h"
#include "ui/MainMenus.h"
#include "ui/frmAbout.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(HelpPath, JoinsTheDirectoryAsReadWithoutDoublingItsSeparator)
{
    const struct
    {
        const char* directory;
        const char* path;
    } cases[] = {
        {"/", "/HostVane.HLP"},
        {"/home/ann/.local/share/HostVane", "/home/ann/.local/share/HostVane/HostVane.HLP"},
        {"/apps/tool/", "/apps/tool/HostVane.HLP"},
        // The trimmed copy decides; the directory itself is used as it was read.
        {"/apps/tool/  ", "/apps/tool/  HostVane.HLP"},
        {" /apps/tool", " /apps/tool/HostVane.HLP"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContextIDs::HelpFilePath(QLatin1String(c.directory)), QLatin1String(c.path))
            << c.directory;
}

class HelpTest : public QuietWindowTest
{
protected:
    // The topic the open viewer shows: its anchor, or "" for the contents page, and where its
    // heading stands when that is not the top of the view.
    QString shownTopic() const
    {
        const HelpViewer* viewer = window->help().Viewer();
        if (viewer == nullptr || !viewer->isVisible())
            return QStringLiteral("(closed)");
        QTextBrowser* browser = viewer->browser();
        const QString topic = browser->source().fragment();
        // The contents page opens at the very top; a topic with its heading's line there.
        int below = browser->verticalScrollBar()->value();
        for (QTextBlock block = browser->document()->begin(); block.isValid() && !topic.isEmpty();
             block = block.next()) {
            if (block.begin().fragment().charFormat().anchorNames().contains(topic))
                below = browser->cursorRect(QTextCursor(block)).top();
        }
        return std::abs(below) <= 1 ? topic : topic + QStringLiteral(" %1 px down").arg(below);
    }
    QString pressF1(QWidget* target)
    {
        QTest::keyClick(target, Qt::Key_F1);
        const QString topic = shownTopic();
        window->help().Viewer()->close();
        return topic;
    }
};

TEST_F(HelpTest, ContentsOpenTheShippedManualAndUnloadClosesIt)
{
    frmHostVane& w = start();
    EXPECT_EQ(w.help().HelpFile(), world.programDir() + QStringLiteral("/HostVane.HLP"));
    EXPECT_EQ(w.help().HelpOwner(), &w);
    w.InitHelp();
    EXPECT_EQ(w.help().HelpFile(), world.programDir() + QStringLiteral("/HostVane.HLP"));

    w.menus().mnuHelpContents->trigger();
    EXPECT_EQ(shownTopic(), QString());
    HelpViewer* viewer = w.help().Viewer();
    EXPECT_EQ(viewer->parentWidget(), &w);
    const QString manual = viewer->browser()->document()->toPlainText();
    EXPECT_TRUE(manual.contains(QStringLiteral("Contents"))) << manual.left(200).toStdString();
    const QString html = QString::fromUtf8(world.readFile(QStringLiteral("HostVane.HLP")));
    for (int context : {10, 210, 220, 230, 240, 250})
        EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1\"").arg(context))) << context;

    w.close();
    EXPECT_EQ(w.help().Viewer(), nullptr) << "unload closes the viewer";
}

TEST_F(HelpTest, F1OpensTheTopicOfTheWindowOrOpenMenu)
{
    frmHostVane& w = start();
    EXPECT_EQ(pressF1(w.findChild<QListWidget*>(QStringLiteral("lbEvents"))), QStringLiteral("10"));
    for (const auto& [menu, topic] :
         {std::pair{w.menus().mnuFile, "210"}, std::pair{w.menus().mnuHelp, "220"},
          std::pair{w.menus().mnuSystray, "230"}}) {
        menu->popup(w.geometry().center());
        ASSERT_EQ(QApplication::activePopupWidget(), menu);
        EXPECT_EQ(pressF1(menu), QLatin1String(topic));
        EXPECT_FALSE(menu->isVisible()) << topic;
    }
    // The settings dialog is modal: help from it must not open behind its block.
    QString settingsTopic;
    bool viewerUsable = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QTest::keyClick(dialog, Qt::Key_F1);
        settingsTopic = shownTopic();
        viewerUsable = w.help().Viewer()->parentWidget() == dialog;
        dialog->close();
    });
    w.menus().mnuProperties->trigger();
    EXPECT_EQ(settingsTopic, QStringLiteral("240"));
    EXPECT_TRUE(viewerUsable);

    frmAbout about(w.controller(), &w);
    about.show();
    EXPECT_EQ(pressF1(about.findChild<QWidget*>(QStringLiteral("cmdOK"))), QStringLiteral("250"));
}

} // namespace
