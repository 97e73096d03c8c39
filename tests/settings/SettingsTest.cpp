#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "settings/TargetSettings.h"
#include "support/ReadOnlyPath.h"
#include "system/cWinVer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    QString file() const { return m_dir.filePath(QStringLiteral("HostVane.conf")); }
    void writeIni(const QByteArray& text)
    {
        QFile ini(file());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    }
    Settings load(int platform = cWinVer::WindowsNT) const
    {
        return SettingsKeys::Load(SettingsStore(file()), platform);
    }

    QTemporaryDir m_dir;
};

TEST_F(SettingsTest, FirstRunHasTheDefaultsAndWritesNothing)
{
    const Settings nt = load(cWinVer::WindowsNT);
    EXPECT_EQ(nt.sHost, SettingsKeys::PlaceholderHost());
    EXPECT_EQ(nt.sTargetUrl, QStringLiteral("FTP://") + SettingsKeys::PlaceholderHost());
    EXPECT_EQ(nt.sUser, QStringLiteral("anonymous"));
    EXPECT_EQ(nt.sPword, QString());
    EXPECT_EQ(nt.sProxy, QString());
    EXPECT_EQ(nt.sTargetdir, QStringLiteral("/"));
    EXPECT_EQ(nt.lUpdateFrequency, 5);
    EXPECT_FALSE(nt.ProcessingEnabled);
    EXPECT_FALSE(nt.StartMinimized);
    EXPECT_FALSE(nt.Service);
    EXPECT_EQ(nt.sAdapterIdentity, QStringLiteral("NdisWan"));
    EXPECT_EQ(load(cWinVer::Windows95).sAdapterIdentity, QStringLiteral("PPP Adapter"));
    EXPECT_EQ(load(cWinVer::Win32s).sAdapterIdentity, QStringLiteral("PPP Adapter"));
    EXPECT_FALSE(QFile::exists(file()));
}

TEST_F(SettingsTest, WhatSaveWritesLoadsBack)
{
    SettingValues input = {{QStringLiteral("Host"), QStringLiteral("  ftp.example.net:2121 ")},
                           {QStringLiteral("User"), QStringLiteral(" webmaster ")},
                           {QStringLiteral("Pword"), QStringLiteral(" s3cret ")},
                           {QStringLiteral("Dir"), QStringLiteral(" pub ")},
                           {QStringLiteral("proxy"), QStringLiteral(" proxy.example.net:3128 ")},
                           {QStringLiteral("Refresh"), QStringLiteral("7")},
                           {QStringLiteral("AutoProcess"), true},
                           {QStringLiteral("StartMinimized"), true},
                           {QStringLiteral("RunAsService"), true},
                           {QStringLiteral("Adapter"), QStringLiteral(" ppp0 ")}};
    {
        SettingsStore store(file());
        ASSERT_TRUE(SettingsKeys::Save(store, input));
    }
    const Settings s = load(cWinVer::Windows95);
    EXPECT_EQ(s.sHost, QStringLiteral("ftp.example.net:2121"));
    EXPECT_EQ(s.sTargetUrl, QStringLiteral("FTP://ftp.example.net:2121"));
    EXPECT_EQ(s.sUser, QStringLiteral("webmaster"));
    EXPECT_EQ(s.sPword, QStringLiteral("s3cret"));
    EXPECT_EQ(s.sTargetdir, QStringLiteral("pub/"));
    EXPECT_EQ(s.sProxy, QStringLiteral("proxy.example.net:3128"));
    EXPECT_EQ(s.lUpdateFrequency, 7);
    EXPECT_TRUE(s.ProcessingEnabled);
    EXPECT_TRUE(s.StartMinimized);
    EXPECT_TRUE(s.Service);
    EXPECT_EQ(s.sAdapterIdentity, QStringLiteral("ppp0"));

    QFile ini(file());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[Settings]"));
    EXPECT_TRUE(text.contains("USer=webmaster"));
    EXPECT_TRUE(text.contains("Proxy=proxy.example.net:3128"));
    EXPECT_TRUE(text.contains("Refresh=07"));
    EXPECT_EQ(QFileInfo(file()).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

    for (const char* key : {"AutoProcess", "StartMinimized", "RunAsService"})
        input[QLatin1String(key)] = false;
    input[QStringLiteral("Adapter")] = QString();
    {
        SettingsStore store(file());
        ASSERT_TRUE(SettingsKeys::Save(store, input));
    }
    const Settings unchecked = load();
    EXPECT_FALSE(unchecked.ProcessingEnabled);
    EXPECT_FALSE(unchecked.StartMinimized);
    EXPECT_FALSE(unchecked.Service);
    EXPECT_EQ(unchecked.sAdapterIdentity, QString()) << "an emptied adapter stays empty";
}

// The targets beside the page live in sections of their own, and a save of the dialog's ten
// keys leaves them as they are.
TEST_F(SettingsTest, TargetsKeepTheirSectionsBesideTheTenKeys)
{
    writeIni("[Settings]\nHost=ftp.a.example\n[dns]\nserver=[::1]:5353\nTtl=-4\n");
    Settings s = load();
    EXPECT_TRUE(s.PublishPage);
    EXPECT_EQ(s.sDnsServer, QStringLiteral("[::1]:5353")) << "sections and keys in any case";
    EXPECT_EQ(s.lDnsTtl, 60) << "a TTL that is no positive number";
    EXPECT_EQ(s.sTsigAlgorithm, QStringLiteral("hmac-sha256"));

    SettingValues typed = TargetSettings::Shown(s);
    typed[QStringLiteral("Settings/PublishPage")] = false;
    typed[QStringLiteral("DynDns/Name")] = QStringLiteral(" home.example.net ");
    typed[QStringLiteral("Hook/Command")] = QStringLiteral("notify-send \"new address\"");
    {
        SettingsStore store(file());
        ASSERT_TRUE(TargetSettings::Save(store, typed));
        ASSERT_TRUE(SettingsKeys::Save(store, SettingsKeys::Shown(s)));
    }
    s = load();
    EXPECT_FALSE(s.PublishPage);
    EXPECT_EQ(s.sHost, QStringLiteral("ftp.a.example"));
    EXPECT_EQ(s.sDnsServer, QStringLiteral("[::1]:5353"));
    EXPECT_EQ(s.sDynDnsNames, QStringLiteral("home.example.net"));
    EXPECT_EQ(s.sHookCommand, QStringLiteral("notify-send \"new address\""));
    QFile ini(file());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[DynDns]\nName=home.example.net\n")) << text.constData();
    EXPECT_TRUE(text.contains("PublishPage=0\n")) << text.constData();
}

TEST_F(SettingsTest, StoreIsOwnerOnlyAndTightenedWhenMadeByHand)
{
    writeIni("[Settings]\nPword=s3cret\n");
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther);
    EXPECT_EQ(load().sPword, QStringLiteral("s3cret"));
    EXPECT_EQ(QFileInfo(file()).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner)
        << "others could read the password";

    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadOther | QFile::ExeOther);
    load();
    EXPECT_EQ(QFileInfo(m_dir.path()).permissions() & 0x7077,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
        << "the folder is tightened when it is read, not only at a save";
    struct stat before = {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &before), 0);
    {
        SettingsStore store(file());
        store.save(QStringLiteral("Pword"), QStringLiteral("other"));
        ASSERT_TRUE(store.sync());
    }
    struct stat after = {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "the file is replaced whole, not rewritten in place";
    EXPECT_EQ(QFileInfo(file()).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(QFileInfo(m_dir.path()).permissions() & 0x7077,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A link in the store's place is replaced by the store; what it points to is left alone.
    const QString elsewhere = m_dir.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QFile::rename(file(), elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, file()));
    {
        SettingsStore store(file());
        store.save(QStringLiteral("Pword"), QStringLiteral("third"));
        ASSERT_TRUE(store.sync());
    }
    EXPECT_FALSE(QFileInfo(file()).isSymLink());
    EXPECT_EQ(load().sPword, QStringLiteral("third"));
    QFile target(elsewhere);
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_FALSE(target.readAll().contains("third"));
}

TEST_F(SettingsTest, StoreThatCannotBeWrittenSaysWhy)
{
    writeIni("");
    struct Case
    {
        QString path;
        const char* reason;
    };
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("dir/HostVane.conf")));
    const Case cases[] = {
        {m_dir.filePath(QStringLiteral("dir/HostVane.conf")), "Is a directory"},
        {file() + QStringLiteral("/HostVane.conf"), "Not a directory"},
        {m_dir.filePath(QStringLiteral("fifo.conf")), "it is not a regular file"},
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(cases[2].path).constData(), S_IRUSR | S_IWUSR), 0);
    for (const Case& c : cases) {
        SettingsStore store(c.path);
        store.save(QStringLiteral("Host"), QStringLiteral("ftp.example.net"));
        EXPECT_FALSE(store.sync()) << c.path.toStdString();
        EXPECT_EQ(store.errorString(), QLatin1String(c.reason));
    }
    // Permissions do not stop root; the immutable mark does, and says so in other words.
    const QString refused =
        QString::fromLocal8Bit(std::strerror(::geteuid() == 0 ? EPERM : EACCES));
    const QByteArray before = QByteArray("[Settings]\nHost=ftp.a.example\n");
    writeIni(before);
    for (const QString& locked : {file(), m_dir.path()}) {
        const ReadOnlyPath readOnly(locked);
        SettingsStore store(file());
        store.save(QStringLiteral("Host"), QStringLiteral("ftp.example.net"));
        EXPECT_FALSE(store.sync()) << locked.toStdString();
        EXPECT_EQ(store.errorString(), refused);
    }
    QFile ini(file());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), before);
}

TEST_F(SettingsTest, KeysMatchWhateverTheirCase)
{
    writeIni("[Settings]\nhost=ftp.a.example\nuser=someone\nPROXY=p:8080\nautoprocess=1\n");
    Settings s = load();
    EXPECT_EQ(s.sHost, QStringLiteral("ftp.a.example"));
    EXPECT_EQ(s.sUser, QStringLiteral("someone"));
    EXPECT_EQ(s.sProxy, QStringLiteral("p:8080"));
    EXPECT_TRUE(s.ProcessingEnabled);

    {
        SettingsStore store(file());
        store.save(QStringLiteral("USer"), QStringLiteral("another"));
    }
    QFile ini(file());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("USer=another"));
    EXPECT_FALSE(text.contains("user=someone")) << "a save replaces the key in any case";
    EXPECT_EQ(load().sUser, QStringLiteral("another"));
}

TEST_F(SettingsTest, DirectoryGetsExactlyOneTrailingSlash)
{
    const struct
    {
        const char* stored;
        const char* loaded;
    } cases[] = {{"pub", "pub/"}, {"", "/"}, {"/", "/"}, {"/www/", "/www/"}, {"x\\\\", "x\\/"}};
    for (const auto& c : cases) {
        writeIni(QByteArray("[Settings]\nDir=") + c.stored + "\n");
        EXPECT_EQ(load().sTargetdir, QLatin1String(c.loaded)) << c.stored;
    }
    writeIni("[Settings]\nHost=\n");
    EXPECT_EQ(load().sTargetUrl, QStringLiteral("FTP://"));
}

TEST_F(SettingsTest, RefreshConversions)
{
    EXPECT_EQ(SettingsKeys::RefreshMinutes(QStringLiteral("05")), 5);
    EXPECT_EQ(SettingsKeys::RefreshMinutes(QStringLiteral("7")), 7);
    EXPECT_EQ(SettingsKeys::RefreshMinutes(QStringLiteral("99")), 99);
    EXPECT_EQ(SettingsKeys::RefreshMinutes(QString()), 5);
    EXPECT_EQ(SettingsKeys::RefreshMinutes(QStringLiteral("soon")), 5);
    EXPECT_EQ(SettingsKeys::RefreshText(QStringLiteral("5")), QStringLiteral("05"));
    EXPECT_EQ(SettingsKeys::RefreshText(QStringLiteral("0")), QStringLiteral("00"));
    EXPECT_EQ(SettingsKeys::RefreshText(QStringLiteral("12")), QStringLiteral("12"));
    EXPECT_EQ(SettingsKeys::RefreshText(QString()), QString());
}

TEST_F(SettingsTest, SwitchTexts)
{
    for (const char* truth : {"1", "001", "-1", "-001", "True", "true", "7"})
        EXPECT_TRUE(SettingsKeys::TextToBool(QLatin1String(truth))) << truth;
    for (const char* falsehood : {"0", "00", "000", "False", "", "no"})
        EXPECT_FALSE(SettingsKeys::TextToBool(QLatin1String(falsehood))) << falsehood;
    EXPECT_TRUE(SettingsKeys::TextToBool(SettingsKeys::BoolText(true)));
    EXPECT_FALSE(SettingsKeys::TextToBool(SettingsKeys::BoolText(false)));
}

} // namespace
