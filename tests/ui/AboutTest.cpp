#include "control/ProgramController.h"
#include "support/ManualClock.h"
#include "support/RecordingRunner.h"
#include "support/ScriptedPrompt.h"
#include "ui/frmAbout.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString text(const QWidget& box, const char* name)
{
    const QObject* child = box.findChild<QObject*>(QLatin1String(name));
    if (const auto* label = qobject_cast<const QLabel*>(child))
        return label->text();
    if (const auto* button = qobject_cast<const QPushButton*>(child))
        return button->text();
    return QStringLiteral("(no %1)").arg(QLatin1String(name));
}

TEST(AboutBox, ShowsTheProgramsIdentity)
{
    ManualClock clock;
    RecordingRunner runner;
    ScriptedPrompt prompt;
    ProgramController program(clock, prompt, runner);
    frmAbout about(program);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About HostVane"));
    EXPECT_EQ(text(about, "lblTitle"), QStringLiteral("HostVane"));
    EXPECT_EQ(text(about, "lblVersion"), QStringLiteral("Version 1.1.3"));
    EXPECT_TRUE(text(about, "lblCopyright").startsWith(QStringLiteral("Copyright (C) ")));
    EXPECT_TRUE(text(about, "Label1").contains(QStringLiteral("+1 202 555 01")));
    EXPECT_TRUE(text(about, "Label2").endsWith(QStringLiteral("@hostvane.example.org")));
    EXPECT_EQ(text(about, "cmdOK"), QStringLiteral("OK"));
    EXPECT_EQ(text(about, "cmdSysInfo"), QStringLiteral("&System Info..."));
    EXPECT_EQ(text(about, "cmdWebhelp"), QStringLiteral("&Kestrow Website"));
    EXPECT_TRUE(about.findChild<QPushButton*>(QStringLiteral("cmdOK"))->isDefault());
}

// The system-information program is whichever known one is on PATH; a test controls PATH.
class SysInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
    }
    void TearDown() override { qputenv("PATH", savedPath); }
    QString installProgram(const QString& name)
    {
        const QString path = QDir(bin.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        return path;
    }
    void pressSysInfo()
    {
        ProgramController program(clock, prompt, runner);
        frmAbout about(program);
        about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->click();
    }

    QTemporaryDir bin;
    QByteArray savedPath;
    ManualClock clock;
    RecordingRunner runner;
    ScriptedPrompt prompt;
};

TEST_F(SysInfoTest, StartsTheProgramTheRegistryNames)
{
    const QString program = installProgram(QStringLiteral("hardinfo"));
    pressSysInfo();
    EXPECT_EQ(runner.detached, QStringList{program});
    EXPECT_TRUE(prompt.shown.isEmpty());
}

TEST_F(SysInfoTest, SaysSoWhenThereIsNoneOrItCannotStart)
{
    pressSysInfo();
    EXPECT_TRUE(runner.detached.isEmpty());
    installProgram(QStringLiteral("kinfocenter"));
    runner.startsDetached = false;
    pressSysInfo();
    EXPECT_EQ(runner.detached.size(), 1);
    ASSERT_EQ(prompt.shown.size(), 2);
    for (const ScriptedPrompt::Shown& shown : prompt.shown) {
        EXPECT_EQ(shown.text, QStringLiteral("System Information Is Unavailable At This Time"));
        EXPECT_EQ(shown.buttons, Prompt::Buttons::Ok);
    }
}

} // namespace
