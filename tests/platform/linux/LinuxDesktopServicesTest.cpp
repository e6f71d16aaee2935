#include "LinuxDesktopServices.h"

#include "FakeDesktop.h"
#include "GlobalHotKey.h"
#include "IdleTimeSource.h"
#include "LoginItem.h"
#include "NotificationCenter.h"
#include "QtPrinters.h"
#include "XvfbServer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

LinuxDesktopServices::Options optionsFor(const FakeDesktop& desktop, DesktopSession::Type type)
{
    DesktopSession session;
    session.type = type;
    return {desktop.appSession(), desktop.appSystem(), [] { return QDateTime::currentDateTimeUtc(); },
            QStringLiteral("/usr/bin/lumatick"), session};
}

// Not a desktop at all (a bare session bus, no logind): every service is absent, and each says
// so instead of failing.
TEST(LinuxDesktopServicesTest, bareSessionFallsBackEverywhereAndSaysSo)
{
    FakeDesktop desktop;
    ASSERT_TRUE(desktop.isRunning());
    LinuxDesktopServices services(optionsFor(desktop, DesktopSession::Type::Unknown));

    EXPECT_EQ(services.idleTimeSource(), nullptr);
    EXPECT_TRUE(services.idleTimeSourceName().isEmpty());
    EXPECT_EQ(services.globalHotKey(), nullptr);
    EXPECT_TRUE(services.loginItem().isSupported());
    const QStringList summary = services.summary();
    ASSERT_EQ(summary.size(), 3);
    EXPECT_TRUE(summary[0].contains(QStringLiteral("time counts while the screen is awake and unlocked")));
    EXPECT_TRUE(summary[1].startsWith(QStringLiteral("Display sleep: not reported")));
    EXPECT_TRUE(summary[2].startsWith(QStringLiteral("Pause shortcut: no global shortcut service")));

    bool answered = false;
    services.notificationCenter().authorizationStatus([&](NotificationCenter::AuthorizationStatus status) {
        answered = true;
        EXPECT_NE(status, NotificationCenter::AuthorizationStatus::authorized);
    });
    EXPECT_TRUE(FakeDesktop::waitFor([&] { return answered; }));
}

// A GNOME-like session: idle time from Mutter, sleep and lock from logind, all reaching the
// one SessionEvents object the application listens to.
TEST(LinuxDesktopServicesTest, gnomeLikeSessionFeedsTheSessionEvents)
{
    FakeDesktop desktop;
    desktop.startLogind();
    desktop.startMutter();
    LinuxDesktopServices services(optionsFor(desktop, DesktopSession::Type::Wayland));
    ASSERT_NE(services.idleTimeSource(), nullptr);
    EXPECT_TRUE(services.idleTimeSourceName().contains(QStringLiteral("Mutter")))
        << services.idleTimeSourceName().toStdString();

    QSignalSpy willSleep(&services.sessionEvents(), &SessionEvents::machineWillSleep);
    QSignalSpy locked(&services.sessionEvents(), &SessionEvents::screenLocked);
    desktop.syncWithBuses();
    desktop.sendPrepareForSleep(true);
    desktop.sendLockedHint(true);
    EXPECT_TRUE(FakeDesktop::waitFor([&] { return willSleep.count() == 1 && locked.count() == 1; }));
}

// An X11 session: idle time from the X server itself when no desktop service offers it, and
// the pause shortcut as a key grab.
TEST(LinuxDesktopServicesTest, x11SessionUsesTheServerForIdleTimeAndKeys)
{
    XvfbServer xvfb;
    ASSERT_TRUE(xvfb.isRunning());
    const QByteArray previousDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", xvfb.displayName().toUtf8());
    FakeDesktop desktop;
    {
        LinuxDesktopServices services(optionsFor(desktop, DesktopSession::Type::X11));
        EXPECT_EQ(services.idleTimeSourceName(), QStringLiteral("xcb-screensaver"));
        ASSERT_NE(services.idleTimeSource(), nullptr);
        EXPECT_TRUE(services.idleTimeSource()->secondsSinceLastInput().has_value());
        ASSERT_NE(services.globalHotKey(), nullptr);
        EXPECT_TRUE(services.globalHotKey()->isSupported());
        // Xvfb has no DPMS: display sleep is simply not reported.
        EXPECT_TRUE(services.summary()[1].startsWith(QStringLiteral("Display sleep: not reported")));
    }
    qputenv("DISPLAY", previousDisplay);
}

} // namespace
