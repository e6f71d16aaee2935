#include "WaylandIdleTimeSource.h"

#include "FakeClock.h"
#include "FakeIdleCompositor.h"
#include "LogCapture.h"
#include "WaitUntil.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

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

// KWin 6 offers version 2; our generated tables speak version 1, and a client that bound 2
// would be sent requests it cannot encode. No idled event: active, however long the clock
// runs. After one: the timeout, growing with the clock and never below it when the clock is
// set back. A resumed event: zero again. The compositor gone: no answer, and one warning.
TEST_F(WaylandIdleTimeSourceTest, idleTimeFollowsTheCompositorsEventsUntilItGoes)
{
    FakeIdleCompositor compositor(2);
    ASSERT_TRUE(compositor.isRunning());
    auto source = WaylandIdleTimeSource::create(m_clock.clock(), compositor.socketName());
    ASSERT_NE(source, nullptr);
    const auto idle = [&] { return source->secondsSinceLastInput().value_or(-1.0); };
    EXPECT_EQ(compositor.seen().boundVersions, std::vector<std::uint32_t>{1});
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
    m_clock.advance(100.0);
    compositor.sendIdled();
    ASSERT_TRUE(waitUntil([&] { return idle() > 0.0; }));
    EXPECT_DOUBLE_EQ(idle(), 1.0);

    LogCapture log;
    compositor.stop();
    ASSERT_TRUE(waitUntil([&] { return !source->secondsSinceLastInput().has_value(); }));
    EXPECT_EQ(source->secondsSinceLastInput(), std::nullopt);
    EXPECT_EQ(log.count(QtWarningMsg), 1);
}

// No notifier (Mutter, sway 1.7), a display name leading nowhere, or none at all: no source,
// and one line saying so.
TEST_F(WaylandIdleTimeSourceTest, withoutTheIdleNotifierThereIsNoSourceAndOneLine)
{
    FakeIdleCompositor withoutNotifier(0);
    const QByteArray previous = qgetenv("WAYLAND_DISPLAY");
    for (const QByteArray& display :
         {withoutNotifier.socketName().toLocal8Bit(), QByteArray("nobody-here"), QByteArray()}) {
        SCOPED_TRACE(display.toStdString());
        display.isEmpty() ? qunsetenv("WAYLAND_DISPLAY") : qputenv("WAYLAND_DISPLAY", display);
        LogCapture log;
        EXPECT_EQ(WaylandIdleTimeSource::create(m_clock.clock()), nullptr);
        EXPECT_EQ(log.count(QtInfoMsg), 1);
        EXPECT_EQ(log.size(), 1);
    }
    qputenv("WAYLAND_DISPLAY", previous);
}

} // namespace
