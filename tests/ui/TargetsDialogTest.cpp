#include "support/ManualClock.h"
#include "support/ProgramWindow.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "ui/frmTargets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// From the File menu: what is typed is saved in the targets' sections and the program runs on
// it; the Part's sections stay as they were. Each target's latest try is shown in the dialog.
TEST(TargetsDialog, SavesEachTargetInItsSection)
{
    TempWorld world;
    world.writeSettings("[Settings]\nHost=ftp.a.example\nAutoProcess=000\n");
    world.installListingScript("NdisWan adapter ppp0:\n  IP Address. . . : 203.0.113.7\n");
    ManualClock clock;
    ScriptedPrompt prompt;
    ProgramWindow program(clock, prompt, cWinVer::WindowsNT, EngineTimeouts{.settleSeconds = 0});
    ASSERT_TRUE(program.window.Form_Load());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<frmTargets*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("status:hook"))->text(),
                  QStringLiteral("Not tried since HostVane started"));
        const auto type = [&](const char* key, const QString& text) {
            auto* box = dialog->findChild<QLineEdit*>(QLatin1String(key));
            box->setFocus();
            QTest::keyClicks(box, text);
        };
        dialog->findChild<QCheckBox*>(QStringLiteral("Settings/PublishPage"))->setChecked(false);
        type("Dns/Zone", QStringLiteral("example.org"));
        type("Dns/Name", QStringLiteral("home"));
        dialog->findChild<QComboBox*>(QStringLiteral("Dns/TsigAlgorithm"))
            ->setCurrentText(QStringLiteral("hmac-sha512"));
        type("Hook/Command", QStringLiteral("true"));
        dialog->findChild<QPushButton*>(QStringLiteral("cmdDone(0)"))->click();
    });
    program.window.findChild<QAction*>(QStringLiteral("mnuTargets"))->trigger();
    ASSERT_TRUE(shown);

    QFile ini(world.configFile());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    for (const char* line : {"[Dns]\n", "Zone=example.org\n", "TsigAlgorithm=hmac-sha512\n",
                             "[Hook]\n", "PublishPage=0\n", "Host=ftp.a.example\n"})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.constData();
    const QVariantMap targets = program.controller.ShownTargets();
    EXPECT_EQ(targets.value(QStringLiteral("Hook/Command")), QStringLiteral("true"));
    EXPECT_FALSE(targets.value(QStringLiteral("Settings/PublishPage")).toBool());

    program.controller.Process(true);
    EXPECT_EQ(program.controller.TargetStatus(QStringLiteral("hook")),
              QStringLiteral("Last try Dec 06, 2026 02:51 AM: 203.0.113.7 published"));
    const frmTargets again(program.controller);
    EXPECT_EQ(again.findChild<QLabel*>(QStringLiteral("status:dns"))->text(),
              QStringLiteral("Not tried since HostVane started"));
}

} // namespace
