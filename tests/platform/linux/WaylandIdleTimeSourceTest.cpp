#include "WaylandIdleTimeSource.h"

#include "FakeClock.h"
#include "FakeIdleCompositor.h"
#include "LogCapture.h"
#include "WaylandTest.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <optional>

namespace {

class WaylandIdleTimeSourceSetUpTest : public WaylandTest {
protected:
    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC)};
};

class WaylandIdleTimeSourceTest : public WaylandIdleTimeSourceSetUpTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtimeDir.isValid());
        ASSERT_TRUE(m_compositor.isRunning());
        m_source = WaylandIdleTimeSource::create(m_clock.clock(), m_compositor.socketName());
        ASSERT_NE(m_source, nullptr);
    }

    double idleSeconds() { return m_source->secondsSinceLastInput().value_or(-1.0); }

    FakeIdleCompositor m_compositor;
    std::unique_ptr<WaylandIdleTimeSource> m_source;
};

TEST_F(WaylandIdleTimeSourceTest, requestsOneNotificationWithTheDocumentedTimeout)
{
    EXPECT_EQ(m_compositor.requestedTimeouts(), std::vector<std::uint32_t>{1000});
    EXPECT_EQ(WaylandIdleTimeSource::notificationTimeoutMs, 1000u);
    EXPECT_EQ(m_source->name(), QStringLiteral("ext-idle-notify"));
}

TEST_F(WaylandIdleTimeSourceTest, answersZeroRightAwaySoTheSelectorCanPickIt)
{
    EXPECT_EQ(m_source->secondsSinceLastInput(), 0.0);
    // Without an idled event the user counts as active, however long the clock runs.
    m_clock.advance(120.0);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_source->secondsSinceLastInput(), 0.0);
}

TEST_F(WaylandIdleTimeSourceTest, idleTimeStartsAtTheTimeoutAndGrowsWithTheClock)
{
    m_compositor.sendIdled();
    ASSERT_TRUE(waitUntil([&] { return idleSeconds() > 0.0; }));
    EXPECT_DOUBLE_EQ(idleSeconds(), 1.0);
    m_clock.advance(5.5);
    EXPECT_DOUBLE_EQ(idleSeconds(), 6.5);
}

TEST_F(WaylandIdleTimeSourceTest, resumedBringsIdleTimeBackToZero)
{
    m_compositor.sendIdled();
    ASSERT_TRUE(waitUntil([&] { return idleSeconds() > 0.0; }));
    m_clock.advance(30.0);
    m_compositor.sendResumed();
    ASSERT_TRUE(waitUntil([&] { return idleSeconds() == 0.0; }));
    m_clock.advance(30.0);
    EXPECT_EQ(idleSeconds(), 0.0);
}

TEST_F(WaylandIdleTimeSourceTest, secondIdlePeriodCountsFromItsOwnIdledEvent)
{
    m_compositor.sendIdled();
    ASSERT_TRUE(waitUntil([&] { return idleSeconds() > 0.0; }));
    m_compositor.sendResumed();
    ASSERT_TRUE(waitUntil([&] { return idleSeconds() == 0.0; }));
    m_clock.advance(100.0);
    m_compositor.sendIdled();
    ASSERT_TRUE(waitUntil([&] { return idleSeconds() > 0.0; }));
    EXPECT_DOUBLE_EQ(idleSeconds(), 1.0);
}

TEST_F(WaylandIdleTimeSourceTest, clockSteppedBackDoesNotShortenIdleTimeBelowTheTimeout)
{
    m_compositor.sendIdled();
    ASSERT_TRUE(waitUntil([&] { return idleSeconds() > 0.0; }));
    m_clock.advance(-3600.0);
    EXPECT_DOUBLE_EQ(idleSeconds(), 1.0);
}

TEST_F(WaylandIdleTimeSourceTest, compositorGoingAwayLeavesNoAnswerAndOneWarning)
{
    LogCapture log;
    m_compositor.stop();
    ASSERT_TRUE(waitUntil([&] { return !m_source->secondsSinceLastInput().has_value(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_source->secondsSinceLastInput(), std::nullopt);
    EXPECT_EQ(countEntries(log, QtWarningMsg), 1);
}

TEST_F(WaylandIdleTimeSourceTest, destroyingTheSourceReleasesTheNotification)
{
    ASSERT_EQ(m_compositor.liveNotificationCount(), 1);
    m_source.reset();
    EXPECT_TRUE(waitUntil([&] { return m_compositor.liveNotificationCount() == 0; }));
}

TEST_F(WaylandIdleTimeSourceSetUpTest, bindsOnlyTheVersionItUnderstandsWhenOfferedNewer)
{
    FakeIdleCompositor compositor(FakeIdleCompositor::Notifier::Version2);
    ASSERT_TRUE(compositor.isRunning());
    const auto source = WaylandIdleTimeSource::create(m_clock.clock(), compositor.socketName());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(compositor.boundNotifierVersions(), std::vector<std::uint32_t>{1});
    EXPECT_EQ(source->secondsSinceLastInput(), 0.0);
}

TEST_F(WaylandIdleTimeSourceSetUpTest, connectsToWaylandDisplayWhenGivenNoName)
{
    FakeIdleCompositor compositor;
    ASSERT_TRUE(compositor.isRunning());
    const ScopedEnv display("WAYLAND_DISPLAY", compositor.socketName().toLocal8Bit());
    EXPECT_NE(WaylandIdleTimeSource::create(m_clock.clock()), nullptr);
    EXPECT_EQ(compositor.requestedTimeouts().size(), 1u);
}

TEST_F(WaylandIdleTimeSourceSetUpTest, compositorWithoutTheIdleNotifierIsNotAvailable)
{
    FakeIdleCompositor compositor(FakeIdleCompositor::Notifier::Absent);
    ASSERT_TRUE(compositor.isRunning());
    LogCapture log;
    EXPECT_EQ(WaylandIdleTimeSource::create(m_clock.clock(), compositor.socketName()), nullptr);
    EXPECT_EQ(countEntries(log, QtInfoMsg), 1);
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_TRUE(log.entries().first().message.contains(QStringLiteral("ext_idle_notifier_v1")));
}

TEST_F(WaylandIdleTimeSourceSetUpTest, displayPointingNowhereGivesNoSourceAndOneLogLine)
{
    const ScopedEnv display("WAYLAND_DISPLAY", "nobody-listens-here");
    LogCapture log;
    EXPECT_EQ(WaylandIdleTimeSource::create(m_clock.clock()), nullptr);
    EXPECT_EQ(countEntries(log, QtInfoMsg), 1);
    EXPECT_EQ(log.entries().size(), 1);
}

TEST_F(WaylandIdleTimeSourceSetUpTest, unsetWaylandDisplayGivesNoSourceAndOneLogLine)
{
    const ScopedEnv display("WAYLAND_DISPLAY", std::nullopt);
    LogCapture log;
    EXPECT_EQ(WaylandIdleTimeSource::create(m_clock.clock()), nullptr);
    EXPECT_EQ(countEntries(log, QtInfoMsg), 1);
}

} // namespace
