#include "support/ManualClock.h"
#include "support/ProgramWindow.h"
#include "support/ReadOnlyPath.h"
#include "support/RecordingRunner.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "ui/frmSettings.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class SettingsDialogTest : public ::testing::Test
{
protected:
    SettingsDialogTest() { main.LoadSettings(); }

    QByteArray storeText() const
    {
        QFile file(world.configFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A fresh dialog, shown and active, its first box focused, as a user gets it.
    frmSettings& open()
    {
        dialog = std::make_unique<frmSettings>(main);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        box("txHost")->setFocus();
        return *dialog;
    }
    QWidget* control(const char* name) const
    {
        return dialog->findChild<QWidget*>(QLatin1String(name));
    }
    // A text box, or the text box of a combo box.
    QLineEdit* box(const char* name) const
    {
        if (auto* combo = qobject_cast<QComboBox*>(control(name)))
            return combo->lineEdit();
        return qobject_cast<QLineEdit*>(control(name));
    }
    QCheckBox* check(const char* name) const
    {
        return dialog->findChild<QCheckBox*>(QLatin1String(name));
    }
    QPushButton* button(int Index) const
    {
        return dialog->findChild<QPushButton*>(QStringLiteral("cmdDone(%1)").arg(Index));
    }
    // Replaces a box's text by typing, as a user does.
    void retype(const char* name, const QString& text) const
    {
        QLineEdit* target = box(name);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Delete);
        QTest::keyClicks(target, text);
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // What the program holds for a key of the settings file.
    QVariant setting(const char* key) const
    {
        return main.ShownSettings().value(QLatin1String(key));
    }

    TempWorld world;
    ManualClock clock;
    ScriptedPrompt prompt;
    RecordingRunner runner;
    ProgramWindow program{clock, prompt, cWinVer::WindowsNT, {}, &runner};
    ProgramController& main = program.controller;
    std::unique_ptr<frmSettings> dialog;
};

TEST_F(SettingsDialogTest, ShowsTheSettingsWithItsTextsInTabOrder)
{
    frmSettings& d = open();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("HostVane Settings"));
    EXPECT_EQ(d.minimumSize(), d.maximumSize()) << "fixed size";
    EXPECT_FALSE(d.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(d.windowFlags() & Qt::WindowCloseButtonHint);

    const std::pair<const char*, QString> shown[] = {
        {"txHost", QStringLiteral("ftp.your-provider.example")},
        {"txUser", QStringLiteral("anonymous")},
        {"txPword", QString()},
        {"txDir", QStringLiteral("/")},
        {"txProxy", QString()},
        {"txRefresh", QStringLiteral("5")},
        {"txIdentifier", QStringLiteral("NdisWan")}};
    for (const auto& [name, text] : shown)
        EXPECT_EQ(box(name)->text(), text) << name;
    for (const char* name : {"chkEnabled", "chkMinimize", "chkService"})
        EXPECT_FALSE(check(name)->isChecked()) << name;

    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 12; ++i) {
        press(Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(order, QStringLiteral("txHost txUser txPword txDir txProxy txRefresh txIdentifier "
                                    "chkEnabled chkMinimize chkService cmdDone(0) cmdDone(1) "
                                    "txHost")
                         .split(QLatin1Char(' ')));

    const QString identifierTip = QStringLiteral(
        "The text that marks your Internet connection in the address report: \"NdisWan\" for "
        "the dial-up link (ppp0) or else the interface with the default route, an interface "
        "name such as ppp0, eth0 or wlan0, or \"public\" for the address the Internet sees when "
        "you are behind a router");
    EXPECT_EQ(control("txIdentifier")->toolTip(), identifierTip);
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("labMain(6)"))->toolTip(), identifierTip);
    EXPECT_EQ(check("chkService")->toolTip(),
              QStringLiteral("Determines if Hostvane operates as a service.  Recommend with "
                             "Windows NT servers."));
    const char* boxes[] = {"txHost",  "txUser",    "txPword",     "txDir",
                           "txProxy", "txRefresh", "txIdentifier"};
    for (int Index = 0; Index < 7; ++Index) {
        auto* label = d.findChild<QLabel*>(QStringLiteral("labMain(%1)").arg(Index));
        EXPECT_EQ(label->buddy(), control(boxes[Index])) << Index;
    }
    EXPECT_EQ(button(0)->text(), QStringLiteral("&Save"));
    EXPECT_EQ(button(1)->text(), QStringLiteral("&Cancel"));
}

TEST_F(SettingsDialogTest, BoxesTakeOnlyWhatTheyMayHold)
{
    open();
    retype("txRefresh", QStringLiteral("a- 1x2"));
    EXPECT_EQ(box("txRefresh")->text(), QStringLiteral("12"));
    QTest::keyClick(box("txRefresh"), Qt::Key_3);
    EXPECT_EQ(box("txRefresh")->text(), QStringLiteral("12")) << "two characters at most";
    QTest::keyClick(box("txRefresh"), Qt::Key_Backspace);
    EXPECT_EQ(box("txRefresh")->text(), QStringLiteral("1"));

    QApplication::clipboard()->setText(QStringLiteral("4b"));
    QTest::keyClick(box("txRefresh"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box("txRefresh")->text(), QStringLiteral("1")) << "pasted text that is not digits";
    QApplication::clipboard()->setText(QStringLiteral("9"));
    QTest::keyClick(box("txRefresh"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box("txRefresh")->text(), QStringLiteral("19"));

    box("txRefresh")->setCursorPosition(1);
    QTest::keyClick(box("txRefresh"), Qt::Key_Backspace);
    const auto dropText = [this](const QString& text) {
        QMimeData dropped;
        dropped.setText(text);
        const QPointF at = box("txRefresh")->rect().center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &dropped, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(box("txRefresh"), &enter);
        QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box("txRefresh"), &drop);
    };
    dropText(QStringLiteral("x"));
    EXPECT_EQ(box("txRefresh")->text(), QStringLiteral("9")) << "dropped text that is not digits";
    dropText(QStringLiteral("3"));
    EXPECT_EQ(box("txRefresh")->text().size(), 2) << "a dropped digit is taken";

    retype("txIdentifier", QStringLiteral("NdisWan adapter ppp0 (PPP Adapter)"));
    EXPECT_EQ(box("txIdentifier")->text(), QStringLiteral("NdisWan adapter ppp0"));

    retype("txPword", QStringLiteral("s3cret"));
    EXPECT_EQ(box("txPword")->text(), QStringLiteral("s3cret"));
    EXPECT_EQ(box("txPword")->displayText(), QStringLiteral("******"));
    EXPECT_FALSE(box("txPword")->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(SettingsDialogTest, SaveWritesTheStoreLoadsItAndInstalls)
{
    frmSettings& d = open();
    retype("txHost", QStringLiteral(" ftp.example.net:2121 "));
    retype("txUser", QStringLiteral("webmaster"));
    retype("txPword", QStringLiteral("s3cret "));
    retype("txDir", QStringLiteral("pub"));
    retype("txProxy", QStringLiteral("proxy.example.net:3128"));
    retype("txRefresh", QStringLiteral("7"));
    retype("txIdentifier", QStringLiteral("ppp0"));
    check("chkEnabled")->setFocus();
    press(Qt::Key_Space);
    check("chkService")->setFocus();
    press(Qt::Key_Space);

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        press(key);
        EXPECT_TRUE(d.isVisible()) << "neither button is the default or the cancel button";
    }
    EXPECT_FALSE(QFile::exists(world.configFile()));

    button(0)->setFocus();
    press(Qt::Key_Space);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const QByteArray text = storeText();
    for (const char* line :
         {"Host=ftp.example.net:2121\n", "USer=webmaster\n", "Pword=s3cret\n", "Dir=pub\n",
          "Proxy=proxy.example.net:3128\n", "Refresh=07\n", "AutoProcess=001\n",
          "StartMinimized=000\n", "RunAsService=001\n", "Adapter=ppp0\n"})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.constData();

    EXPECT_EQ(setting("Dir").toString(), QStringLiteral("pub/")) << "the main window loaded";
    EXPECT_TRUE(setting("RunAsService").toBool());
    EXPECT_TRUE(
        runner.commands.contains(QStringLiteral("systemctl --user enable hostvane.service")));
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_TRUE(
        prompt.shown[0].text.endsWith(QStringLiteral(" installed as service successfully")));

    open();
    EXPECT_EQ(box("txDir")->text(), QStringLiteral("pub/"));
    EXPECT_EQ(box("txRefresh")->text(), QStringLiteral("7"));
    const qsizetype commands = runner.commands.size();
    button(0)->click();
    EXPECT_EQ(runner.commands.size(), commands) << "installed already";
    EXPECT_EQ(prompt.shown.size(), 1);
}

// Behind a router: the public address is chosen in the dialog, and the way back is there too,
// although the listing then holds only the public address.
TEST_F(SettingsDialogTest, IdentifierOffersTheListedAdaptersAndThePublicAddress)
{
    const char* const steps[][3] = {
        {"NdisWan adapter eth0 (default route):\n IP Address. : 192.168.1.20\n"
         "Ethernet adapter wlan0:\n",
         "NdisWan eth0 wlan0 public", "public"},
        {"NdisWan adapter public (PPP Adapter):\n IP Address. : 203.0.113.7\n", "NdisWan public",
         "NdisWan"}};
    for (const auto& [listing, offered, chosen] : steps) {
        world.writeFile(QStringLiteral("hostvane.ip"), listing);
        open();
        auto* identifier = static_cast<QComboBox*>(control("txIdentifier"));
        QStringList items;
        for (int i = 0; i < identifier->count(); ++i)
            items.append(identifier->itemText(i));
        EXPECT_EQ(items.join(u' '), QLatin1String(offered));
        // The list opened from the keyboard and the entry clicked, as a user does.
        identifier->setFocus();
        press(Qt::Key_F4);
        QAbstractItemView* list = identifier->view();
        ASSERT_TRUE(list->isVisible());
        const int row = identifier->findText(QLatin1String(chosen));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(identifier->model()->index(row, 0)).center());
        EXPECT_EQ(box("txIdentifier")->text(), QLatin1String(chosen));
        button(0)->click();
        EXPECT_TRUE(storeText().contains("Adapter=" + QByteArray(chosen) + "\n"));
        EXPECT_EQ(setting("Adapter").toString(), QLatin1String(chosen));
    }
}

TEST_F(SettingsDialogTest, CancelAndTheCloseBoxWriteNothing)
{
    world.writeSettings("[Settings]\nHost=ftp.a.example\nAutoProcess=001\n");
    main.LoadSettings();
    const QByteArray before = storeText();
    for (const bool closeBox : {false, true}) {
        frmSettings& d = open();
        retype("txHost", QStringLiteral("ftp.b.example"));
        check("chkService")->setChecked(true);
        if (closeBox)
            d.close();
        else
            QTest::keyClick(button(1), Qt::Key_Space);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(storeText(), before);
    }
    EXPECT_TRUE(runner.commands.isEmpty());
    EXPECT_TRUE(prompt.shown.isEmpty());

    // Through the menu: the main window reloads afterwards, putting back the stored switch.
    auto* autoUpdate = program.window.findChild<QAction*>(QStringLiteral("mnuAutoUpdate"));
    autoUpdate->trigger();
    ASSERT_FALSE(setting("AutoProcess").toBool());
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        modal->findChild<QPushButton*>(QStringLiteral("cmdDone(1)"))->click();
    });
    program.window.findChild<QAction*>(QStringLiteral("mnuProperties"))->trigger();
    EXPECT_TRUE(setting("AutoProcess").toBool());
    EXPECT_TRUE(autoUpdate->isChecked());
    EXPECT_EQ(storeText(), before);
}

// A service that could not be installed is not shown as installed the next time.
TEST_F(SettingsDialogTest, AFailedInstallLeavesTheSwitchOff)
{
    world.writeSettings("[Settings]\nHost=ftp.a.example\n");
    main.LoadSettings();
    open();
    check("chkService")->setChecked(true);
    runner.exitCodes = {1};
    button(0)->click();
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("failed to install")));
    EXPECT_FALSE(setting("RunAsService").toBool());
    EXPECT_TRUE(storeText().contains("RunAsService=000")) << storeText().toStdString();
    EXPECT_FALSE(open().findChild<QCheckBox*>(QStringLiteral("chkService"))->isChecked());
}

TEST_F(SettingsDialogTest, StoreThatCannotBeWrittenKeepsTheDialogOpen)
{
    world.writeSettings("[Settings]\nHost=ftp.a.example\n");
    main.LoadSettings();
    const QByteArray before = storeText();
    frmSettings& d = open();
    retype("txHost", QStringLiteral("ftp.b.example"));
    check("chkService")->setChecked(true);
    {
        const ReadOnlyPath locked(QFileInfo(world.configFile()).path());
        button(0)->click();
    }
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].title, QStringLiteral("HostVane"));
    EXPECT_TRUE(prompt.shown[0].text.contains(world.configFile()))
        << prompt.shown[0].text.toStdString();
    EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("not permitted")) ||
                prompt.shown[0].text.contains(QStringLiteral("Permission denied")))
        << prompt.shown[0].text.toStdString();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(box("txHost")->text(), QStringLiteral("ftp.b.example"));
    EXPECT_EQ(storeText(), before);
    EXPECT_EQ(setting("Host").toString(), QStringLiteral("ftp.a.example"));
    EXPECT_TRUE(runner.commands.isEmpty()) << "nothing else of Save ran";
    // What could not be saved is not what the program reads from then on.
    main.LoadSettings();
    EXPECT_EQ(setting("Host").toString(), QStringLiteral("ftp.a.example"));
    EXPECT_FALSE(setting("RunAsService").toBool());

    button(0)->click();
    EXPECT_FALSE(d.isVisible()) << "saved once the store could be written";
    EXPECT_EQ(setting("Host").toString(), QStringLiteral("ftp.b.example"));
}

} // namespace
