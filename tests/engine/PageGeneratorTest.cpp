#include "support/EngineRig.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(ReplaceAddressMarker, FirstMarkersInAnyCase)
{
    const struct
    {
        QByteArray line;
        const char* page;
        bool replaced;
    } cases[] = {
        {"<a href=\"http://~IP~/\">", "<a href=\"http://10.1.2.3/\">", true},
        {"~ip~ and ~IP~", "10.1.2.3 and ~IP~", true},
        {"at the end ~iP~", "at the end 10.1.2.3", true},
        {"~Ip~", "10.1.2.3", true},
        {"~I P~ is no marker", "~I P~ is no marker", false},
        {"", "", false},
        {"http://~IP6~/", "http://[2001:db8::5]/", true},
        {"~ip6~ before ~Ip~", "[2001:db8::5] before 10.1.2.3", true},
        {"~IP~ ~IP6~ ~IP~ ~iP6~", "10.1.2.3 [2001:db8::5] ~IP~ ~iP6~", true},
        {"~IP~IP6~", "10.1.2.3IP6~", true},
        {"~IP6~IP~", "[2001:db8::5]IP~", true},
        {"~IP 6~ and ~IP6 ~ are none", "~IP 6~ and ~IP6 ~ are none", false},
    };
    for (const auto& c : cases) {
        QByteArray line = c.line;
        EXPECT_EQ(ReplaceAddressMarker(line, "10.1.2.3", "[2001:db8::5]"), c.replaced)
            << c.line.constData();
        EXPECT_EQ(line, QByteArray(c.page)) << c.line.constData();
    }
}

TEST(CreateHtm, WritesThePageFromTheInstalledTemplateWithEveryLinkWorking)
{
    // Each marker becomes a URL host: its own family's address, or the other one's.
    const struct
    {
        const char* ip;
        const char* ipv6;
        const char* host;
        const char* host6;
    } cases[] = {
        {"10.1.2.3", "2001:db8::5", "10.1.2.3", "[2001:db8::5]"},
        {"", "2001:db8::5", "[2001:db8::5]", "[2001:db8::5]"},
        {"10.1.2.3", "", "10.1.2.3", "10.1.2.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host6);
        EngineRig rig;
        EXPECT_EQ(rig.pages.CreateHtm(QLatin1String(c.ip), QLatin1String(c.ipv6)), 0);
        const QByteArray installed = rig.world.readFile(QStringLiteral("template/hostvane.inp"));
        EXPECT_EQ(rig.world.readFile(QStringLiteral("hostvane.inp")), installed);
        ASSERT_EQ(installed.count("http://~IP6~/"), 1);

        // The shipped template has one marker a line.
        QByteArray expected = installed;
        expected.replace("~IP6~", c.host6).replace("~IP~", c.host).replace("\n", "\r\n");
        EXPECT_EQ(rig.world.readFile(QStringLiteral("hostvane.htm")), expected);
        EXPECT_EQ(rig.host.history.size(), installed.count("~IP~") + installed.count("~IP6~"));
        for (const QString& line : rig.host.history)
            EXPECT_TRUE(line.startsWith(QStringLiteral("Replacing text:")) &&
                        line.contains(QStringLiteral("~IP")))
                << line.toStdString();
    }
}

TEST(CreateHtm, UserTemplateLinesAndLineEnds)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("hostvane.inp"),
                        "  <p>~ip~ twice ~IP~</p>  \r\n\n~IP~\nplain\nlast ~Ip~");
    rig.world.writeFile(QStringLiteral("template/hostvane.inp"), "installed ~IP~\n");
    ASSERT_EQ(rig.pages.CreateHtm(QStringLiteral("10.1.2.3")), 0);
    EXPECT_EQ(
        rig.world.readFile(QStringLiteral("hostvane.htm")),
        QByteArray("  <p>10.1.2.3 twice ~IP~</p>  \r\n\r\n10.1.2.3\r\nplain\r\nlast 10.1.2.3\r\n"));
    EXPECT_EQ(rig.host.history,
              QStringList({QStringLiteral("Replacing text:<p>~ip~ twice ~IP~</p>"),
                           QStringLiteral("Replacing text:~IP~"),
                           QStringLiteral("Replacing text:last ~Ip~")}));
}

TEST(CreateHtm, EmptyWorkingTemplateIsReplacedFromTheInstalledOne)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("hostvane.inp"), "");
    rig.world.writeFile(QStringLiteral("template/hostvane.inp"), "new ~IP~\n");
    ASSERT_EQ(rig.pages.CreateHtm(QStringLiteral("10.1.2.3")), 0);
    EXPECT_EQ(rig.world.readFile(QStringLiteral("hostvane.inp")), QByteArray("new ~IP~\n"));
    EXPECT_EQ(rig.world.readFile(QStringLiteral("hostvane.htm")), QByteArray("new 10.1.2.3\r\n"));
}

TEST(CreateHtm, MissingTemplatesAreReportedAndTheOldPageIsGone)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("hostvane.htm"), "old page");
    QFile::remove(QStringLiteral("template/hostvane.inp"));
    EXPECT_EQ(rig.pages.CreateHtm(QStringLiteral("10.1.2.3")), 1);
    ASSERT_EQ(rig.prompt.shown.size(), 1);
    EXPECT_EQ(rig.prompt.shown[0].text,
              QStringLiteral("Unable to copy template\\hostvane.inp file."));
    EXPECT_FALSE(QFile::exists(QStringLiteral("hostvane.htm")));
}

TEST(CreateHtm, PageThatCannotBeWrittenFailsWithoutAMessage)
{
    EngineRig rig;
    // A directory where the page should go: it can be neither deleted as a file nor written.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("hostvane.htm")));
    EXPECT_EQ(rig.pages.CreateHtm(QStringLiteral("10.1.2.3")), 1);
    EXPECT_TRUE(rig.prompt.shown.isEmpty());
}

} // namespace
