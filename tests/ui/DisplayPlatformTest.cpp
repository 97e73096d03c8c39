#include "ui/DisplayPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Each start gets a platform it can load, or says what to install instead of Qt aborting
// where a start from the menu shows nothing.
TEST(ChooseDisplayPlatform, APlatformThatLoadsOrWhatIsMissing)
{
    QTemporaryDir without;
    QTemporaryDir with;
    ASSERT_TRUE(QDir(with.path()).mkdir(QStringLiteral("platforms")));
    QFile plugin(with.filePath(QStringLiteral("platforms/libqwayland-generic.so")));
    ASSERT_TRUE(plugin.open(QIODevice::WriteOnly));
    plugin.close();
    const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
    const struct
    {
        const char* display;
        const char* wayland;
        const QTemporaryDir& plugins;
        const char* platform; // what it sets QT_QPA_PLATFORM to
        bool refused;
    } cases[] = {
        {"", "", without, "offscreen", false}, {":0", "", without, "", false},
        {"", "wayland-0", with, "", false},    {":0", "wayland-0", without, "xcb", false},
        {"", "wayland-0", without, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.display) + "/" + c.wayland);
        qunsetenv("QT_QPA_PLATFORM");
        qputenv("DISPLAY", c.display);
        qputenv("WAYLAND_DISPLAY", c.wayland);
        const QString refusal = ChooseDisplayPlatform({c.plugins.path()});
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray(c.platform));
        EXPECT_EQ(refusal.contains(QStringLiteral("qt6-wayland")), c.refused)
            << refusal.toStdString();
    }
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("QT_QPA_PLATFORM", saved);
}

} // namespace
