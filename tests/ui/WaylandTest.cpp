#include "QuietWindowTest.h"

#include "ui/MessageBoxPrompt.h"
#include "ui/frmAbout.h"
#include "ui/frmSettings.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMessageBox>
#include <QMutex>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QThread>
#include <QWindow>

// A desktop's StatusNotifierItem host as the tray icon sees it: the watcher it registers with.
// It answers from a thread and a bus connection of its own, since the icon's calls wait.
class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const
    {
        const QMutexLocker lock(&m_lock);
        return m_items;
    }

public slots:
    void RegisterStatusNotifierItem(const QString& service)
    {
        const QMutexLocker lock(&m_lock);
        m_items.append(service);
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    mutable QMutex m_lock;
    QStringList m_items;
};

namespace {

class WaylandTest : public QuietWindowTest
{
};

// With a StatusNotifierItem host, the tray icon's menu is the program's pop-up, exported for
// the desktop to draw at the icon: its entries in their order, with their texts.
TEST_F(WaylandTest, TheTrayMenuIsExportedToAStatusNotifierHost)
{
    QThread answering;
    StatusNotifierWatcher watcher;
    watcher.moveToThread(&answering);
    answering.start();
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("watcher"));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportAllContents));
    const auto stop = qScopeGuard([&] {
        bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
        answering.quit();
        answering.wait();
    });
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.items().isEmpty(); }, 10000));

    QString item = watcher.items().first();
    QString path = QStringLiteral("/StatusNotifierItem");
    if (item.contains(u'/')) {
        path = item.mid(item.indexOf(u'/'));
        item = item.left(item.indexOf(u'/'));
    }
    const auto gdbus = [](const QStringList& arguments) {
        QProcess call;
        call.start(QStringLiteral("gdbus"),
                   QStringList{QStringLiteral("call"), QStringLiteral("--session")} + arguments);
        // The program answers from this process's event loop, which must go on meanwhile.
        EXPECT_TRUE(QTest::qWaitFor([&] { return call.state() == QProcess::NotRunning; }, 10000));
        return QString::fromUtf8(call.readAllStandardOutput());
    };
    const QString menu =
        gdbus({QStringLiteral("--dest"), item, QStringLiteral("--object-path"), path,
               QStringLiteral("--method"), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
               QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Menu")});
    const qsizetype quote = menu.indexOf(u'\'');
    ASSERT_GE(quote, 0) << menu.toStdString();
    const QString menuPath = menu.mid(quote + 1, menu.indexOf(u'\'', quote + 1) - quote - 1);
    const QString layout = gdbus(
        {QStringLiteral("--dest"), item, QStringLiteral("--object-path"), menuPath,
         QStringLiteral("--method"), QStringLiteral("com.canonical.dbusmenu.GetLayout"),
         QStringLiteral("--"), QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("[]")});
    qsizetype at = 0;
    for (const char* entry : {"Hide", "Show", "Exit", "About Hostvane", "Cancel"}) {
        at = layout.indexOf(QStringLiteral("'label': <'%1'>").arg(QLatin1String(entry)), at);
        EXPECT_GE(at, 0) << entry << " in " << layout.toStdString();
    }
}

// The desktop may maximize or make full screen any window, whatever its size: each window
// takes it and the program goes on.
TEST_F(WaylandTest, EveryWindowTakesMaximizeAndFullScreen)
{
    ASSERT_TRUE(QGuiApplication::platformName().startsWith(QLatin1String("wayland")));
    frmHostVane& main = start();
    frmSettings settings(program->controller);
    frmAbout about(program->controller);
    for (QWidget* shown : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&settings),
                           static_cast<QWidget*>(&about)}) {
        SCOPED_TRACE(shown->objectName().toStdString());
        shown->showNormal();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        const QSize normal = shown->size();
        shown->showMaximized();
        QTest::qWait(300);
        EXPECT_TRUE(shown->isMaximized());
        shown->showFullScreen();
        QTest::qWait(300);
        shown->showNormal();
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown->size() == normal; }, 2000));
        shown->hide();
    }
    EXPECT_TRUE(main.isHidden());

    // A window under another one may be minimized for all this client is told: a failure is
    // then announced as for a hidden window.
    main.showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    about.show();
    about.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_FALSE(main.isActiveWindow());
    EXPECT_TRUE(main.Unseen());
}

// The desktop places windows and cannot be asked to keep one on top: the splash card is the main
// window's child there, which it keeps above it. A message box leaves room for its title beside
// the buttons Qt draws in its title bar.
TEST_F(WaylandTest, TheSplashStaysAboveAndABoxHasRoomForItsTitle)
{
    frmHostVane& main = start();
    QWidget* splash = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        if (shown->objectName() == QLatin1String("frmSplash"))
            splash = shown;
    }
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->windowHandle()->transientParent(), main.windowHandle());

    MessageBoxPrompt onScreen;
    ASSERT_TRUE(onScreen.Notify(QStringLiteral("HostVane"), QStringLiteral("Quit?")));
    QMessageBox* box = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        if (auto* message = qobject_cast<QMessageBox*>(shown); message && message->isVisible())
            box = message;
    }
    ASSERT_NE(box, nullptr);
    const QFontMetrics metrics = box->fontMetrics();
    EXPECT_GT(box->width(),
              metrics.horizontalAdvance(QStringLiteral("HostVane")) + 8 * metrics.height())
        << "room for the title, the icon and three buttons";
    box->close();
}

} // namespace

#include "WaylandTest.moc"
