#include "WaylandIdleTimeSource.h"

#include "LinuxDesktopServices.h"

#include "FakeClock.h"
#include "FakeIdleCompositor.h"
#include "LogCapture.h"
#include "PrivateBus.h"
#include "WaitUntil.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Each test gets a private XDG_RUNTIME_DIR, where both the fake compositor and the client look
// for the socket, so no real compositor of the machine is ever reached.
class WaylandIdleTimeSourceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtimeDir.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtimeDir.path().toLocal8Bit());
    }

    QTemporaryDir m_runtimeDir;
    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC)};
};

// KWin 6 offers ext-idle-notify v2; our generated tables speak v1, and a client that bound 2
// would be sent requests it cannot encode. sway 1.7 offers only KWin's protocol; KWin 5.27
// both, and ext-idle-notify is taken. The compositor answers only after the source is made
// (as KWin does for a large executable): no answer till then. No idled event: active,
// however long the clock runs. After one: the timeout, growing with the clock and never below
// it when the clock is set back. A resumed event: zero again. The compositor gone: no answer,
// and one warning.
TEST_F(WaylandIdleTimeSourceTest, idleTimeFollowsTheCompositorsEventsUntilItGoes)
{
    struct Case {
        std::uint32_t extVersion;
        bool kdeIdle;
        QString name;
        std::vector<std::uint32_t> boundExtVersions;
    };
    for (const Case& c :
         {Case{2, false, u"ext-idle-notify"_s, {1}}, Case{0, true, u"org_kde_kwin_idle"_s, {}},
          Case{1, true, u"ext-idle-notify"_s, {1}}}) {
        SCOPED_TRACE(c.name.toStdString());
        FakeIdleCompositor compositor(c.extVersion, c.kdeIdle);
        ASSERT_TRUE(compositor.isRunning());
        compositor.holdAnswers(true);
        auto source = WaylandIdleTimeSource::create(m_clock.clock(), compositor.socketName());
        ASSERT_NE(source, nullptr);
        const auto idle = [&] { return source->secondsSinceLastInput().value_or(-1.0); };
        EXPECT_EQ(idle(), -1.0);
        compositor.holdAnswers(false);
        ASSERT_TRUE(waitUntil([&] { return idle() == 0.0; }));
        EXPECT_EQ(source->name(), c.name);
        EXPECT_EQ(compositor.seen().boundVersions, c.boundExtVersions);
        EXPECT_EQ(compositor.seen().timeouts, std::vector<std::uint32_t>{1000});
        m_clock.advance(120.0);
        EXPECT_EQ(idle(), 0.0);

        compositor.sendIdled();
        ASSERT_TRUE(waitUntil([&] { return idle() > 0.0; }));
        EXPECT_DOUBLE_EQ(idle(), 1.0);
        m_clock.advance(5.5);
        EXPECT_DOUBLE_EQ(idle(), 6.5);
        m_clock.advance(-3600.0);
        EXPECT_DOUBLE_EQ(idle(), 1.0);
        compositor.sendResumed();
        ASSERT_TRUE(waitUntil([&] { return idle() == 0.0; }));

        LogCapture log;
        compositor.stop();
        ASSERT_TRUE(waitUntil([&] { return !source->secondsSinceLastInput().has_value(); }));
        EXPECT_EQ(log.count(QtWarningMsg), 1);
    }
}

// A display name leading nowhere, or none at all: no source, and one line saying so.
TEST_F(WaylandIdleTimeSourceTest, withoutACompositorThereIsNoSourceAndOneLine)
{
    const QByteArray previous = qgetenv("WAYLAND_DISPLAY");
    for (const QByteArray& display : {QByteArray("nobody-here"), QByteArray()}) {
        SCOPED_TRACE(display.toStdString());
        display.isEmpty() ? qunsetenv("WAYLAND_DISPLAY") : qputenv("WAYLAND_DISPLAY", display);
        LogCapture log;
        EXPECT_EQ(WaylandIdleTimeSource::create(m_clock.clock()), nullptr);
        EXPECT_EQ(log.count(QtInfoMsg), 1);
        EXPECT_EQ(log.size(), 1);
    }
    qputenv("WAYLAND_DISPLAY", previous);
}

// A Wayland session whose compositor answers only after start-up, and offers an idle protocol
// only later still (Mutter offers none): start-up goes on without it and says it waits; the
// idle time the application reads comes from the compositor once it offers a protocol, and the
// choice is logged once.
TEST_F(WaylandIdleTimeSourceTest, aLateCompositorStillBecomesTheIdleSource)
{
    FakeIdleCompositor compositor(0);
    compositor.holdAnswers(true);
    qputenv("WAYLAND_DISPLAY", compositor.socketName().toLocal8Bit());
    const PrivateBus session;
    const PrivateBus system;
    DesktopSession wayland;
    wayland.type = DesktopSession::Type::Wayland;
    LogCapture log;
    LinuxDesktopServices services({session.connect(u"late-session"_s), system.connect(u"late-system"_s),
                                   m_clock.clock(), u"/usr/bin/lumatick"_s, wayland});
    IdleTimeSource* source = services.idleTimeSource();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(services.summary().value(0), u"Idle time: waiting for the Wayland compositor to answer"_s);
    compositor.holdAnswers(false);
    ASSERT_TRUE(waitUntil([&] { return log.count(QtWarningMsg, u"No idle-time service answered"_s) == 1; }));
    EXPECT_EQ(source->secondsSinceLastInput(), std::nullopt);

    compositor.offerKdeIdle();
    ASSERT_TRUE(waitUntil([&] { return source->secondsSinceLastInput() == 0.0; }));
    compositor.sendIdled();
    ASSERT_TRUE(waitUntil([&] { return source->secondsSinceLastInput() == 1.0; }));
    EXPECT_EQ(log.count(QtInfoMsg, u"Idle time from org_kde_kwin_idle"_s), 1);
    qunsetenv("WAYLAND_DISPLAY");
}

} // namespace
