#include "LinuxDesktopServices.h"

#include "FreedesktopNotificationCenter.h"
#include "GlobalHotKey.h"
#include "IdleTimeSource.h"
#include "LoginItem.h"

#include "DBusMock.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "ScopedTimeZone.h"
#include "WaitUntil.h"
#include "XvfbServer.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QDateTime farFuture(QDate(2099, 6, 10), QTime(12, 0), Qt::UTC);

// A desktop of the test's own: two private buses, and an Xvfb where the session has X.
class LinuxDesktopServicesTest : public testing::Test {
protected:
    void TearDown() override { qputenv("DISPLAY", m_display); }

    void startServices(DesktopSession::Type type, bool withX = false)
    {
        DesktopSession session;
        session.type = type;
        session.hasX11Display = withX;
        if (withX) {
            ASSERT_TRUE(m_xvfb.isRunning());
            qputenv("DISPLAY", m_xvfb.displayName().toUtf8());
        }
        m_services = std::make_unique<LinuxDesktopServices>(LinuxDesktopServices::Options{
            m_session.connect(u"desktop-session"_s), m_system.connect(u"desktop-system"_s),
            [] { return farFuture; }, u"/usr/bin/lumatick"_s, session});
    }

    PrivateBus m_session;
    PrivateBus m_system;
    XvfbServer m_xvfb;
    const QByteArray m_display = qgetenv("DISPLAY");
    std::unique_ptr<LinuxDesktopServices> m_services;
};

// Not a desktop at all (a bare session bus, no logind), even on a machine where a desktop's
// notification server is installed: every service is absent, and each says so.
TEST_F(LinuxDesktopServicesTest, bareSessionFallsBackEverywhereAndSaysSo)
{
    startServices(DesktopSession::Type::Unknown);
    EXPECT_EQ(m_services->idleTimeSource(), nullptr);
    EXPECT_EQ(m_services->globalHotKey(), nullptr);
    EXPECT_TRUE(m_services->loginItem().isSupported());
    const QStringList summary = m_services->summary();
    ASSERT_EQ(summary.size(), 3);
    EXPECT_TRUE(summary[0].contains(u"time counts while the screen is awake and unlocked"_s));
    EXPECT_TRUE(summary[1].startsWith(u"Display sleep: not reported"_s));
    EXPECT_TRUE(summary[2].startsWith(u"Pause shortcut: no global shortcut service"_s));
    std::optional<NotificationCenter::AuthorizationStatus> status;
    m_services->notificationCenter().authorizationStatus([&](auto answer) { status = answer; });
    ASSERT_TRUE(waitUntil([&] { return status.has_value(); }));
    EXPECT_NE(status, NotificationCenter::AuthorizationStatus::authorized);
}

// An X11 session: idle time and the pause key from the X server, no DPMS on Xvfb.
TEST_F(LinuxDesktopServicesTest, x11SessionUsesTheServerForIdleTimeAndKeys)
{
    startServices(DesktopSession::Type::X11, true);
    EXPECT_EQ(m_services->idleTimeSourceName(), u"xcb-screensaver"_s);
    ASSERT_NE(m_services->globalHotKey(), nullptr);
    EXPECT_TRUE(m_services->globalHotKey()->worksSystemWide());
    EXPECT_TRUE(m_services->summary()[1].startsWith(u"Display sleep: not reported"_s));
}

// A Wayland session with the shortcuts portal: the recorded key is proposed to it by name,
// read from the keyboard map of the X server our windows use (Xwayland).
TEST_F(LinuxDesktopServicesTest, waylandSessionProposesTheRecordedKeyToThePortal)
{
    const DBusMock portal(m_session,
                          {u"org.freedesktop.portal.Desktop"_s, u"/org/freedesktop/portal/desktop"_s,
                           u"org.freedesktop.portal.GlobalShortcuts"_s},
                          QStringLiteral(LUMATICK_PORTAL_TEMPLATE));
    startServices(DesktopSession::Type::Wayland, true);
    GlobalHotKey* hotKey = m_services->globalHotKey();
    ASSERT_NE(hotKey, nullptr);
    ASSERT_TRUE(hotKey->registerHotKey(33, GlobalHotKey::controlModifier | GlobalHotKey::shiftModifier));
    const auto proposed = [&] {
        return portal.call(u"ProposedTriggers"_s).arguments().value(0).toStringList();
    };
    ASSERT_TRUE(waitUntil([&] { return !proposed().isEmpty(); }));
    EXPECT_EQ(proposed(), QStringList{u"toggle-pause CTRL+SHIFT+p"_s});
    EXPECT_TRUE(hotKey->worksSystemWide());
}

// The calendar times of pending notifications follow a new system zone at once.
TEST_F(LinuxDesktopServicesTest, timeZoneChangeMovesPendingNotifications)
{
    const DBusMock timedated(
        m_system,
        {u"org.freedesktop.timedate1"_s, u"/org/freedesktop/timedate1"_s, u"org.freedesktop.timedate1"_s},
        u"timedated"_s);
    startServices(DesktopSession::Type::Unknown);
    auto& center = dynamic_cast<FreedesktopNotificationCenter&>(m_services->notificationCenter());
    center.add({u"daily"_s, u"Lumatick"_s, u"Today"_s, true, CalendarTrigger{std::nullopt, 22, 0, true}});
    // 22:00 in Berlin (CEST) is 20:00 UTC; in Tokyo it is 13:00 UTC, still ahead of noon UTC.
    ASSERT_EQ(center.scheduler().deliveryOf(u"daily"_s), QDateTime(farFuture.date(), QTime(20, 0), Qt::UTC));
    QSignalSpy changed(&m_services->sessionEvents(), &SessionEvents::timeZoneChanged);
    // A round trip, so the subscription to timedated is in place before it speaks.
    m_system.connect(u"desktop-system"_s).interface()->isServiceRegistered(u"x"_s);

    const ScopedTimeZone travelled("Asia/Tokyo");
    timedated.call(u"SetTimezone"_s, {u"Asia/Tokyo"_s, false}, u"org.freedesktop.timedate1"_s);
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 1; }));
    EXPECT_EQ(center.scheduler().deliveryOf(u"daily"_s), QDateTime(farFuture.date(), QTime(13, 0), Qt::UTC));
}

// Our windows go through Xwayland in a Wayland session that has it, so the panel can be placed
// at the item; the user's own choice of platform, or a session without Xwayland, is left to Qt.
TEST(DesktopSessionTest, qtPlatformPrefersXwaylandInWaylandSessions)
{
    const std::vector<std::pair<QStringList, QString>> cases{
        {{u"XDG_SESSION_TYPE=wayland"_s, u"WAYLAND_DISPLAY=wayland-0"_s, u"DISPLAY=:0"_s}, u"xcb;wayland"_s},
        {{u"WAYLAND_DISPLAY=wayland-0"_s, u"DISPLAY=:0"_s}, u"xcb;wayland"_s},
        {{u"XDG_SESSION_TYPE=wayland"_s, u"WAYLAND_DISPLAY=wayland-0"_s}, {}},
        {{u"XDG_SESSION_TYPE=wayland"_s, u"DISPLAY=:0"_s, u"QT_QPA_PLATFORM=wayland"_s}, {}},
        {{u"XDG_SESSION_TYPE=x11"_s, u"DISPLAY=:0"_s}, {}},
    };
    for (const auto& [variables, expected] : cases) {
        QProcessEnvironment environment;
        for (const QString& variable : variables)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        EXPECT_EQ(DesktopSession::fromEnvironment(environment).preferredQtPlatform(), expected)
            << variables.join(u' ').toStdString();
    }
}

} // namespace
