#include "WaylandDisplaySleepMonitor.h"

#include "FakePowerCompositor.h"
#include "LogCapture.h"
#include "SessionEvents.h"
#include "WaylandTest.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Manager = FakePowerCompositor::Manager;

// The signals are logged in order, so an extra or missing change shows as a different sequence.
class WaylandDisplaySleepMonitorSetUpTest : public WaylandTest {
protected:
    WaylandDisplaySleepMonitorSetUpTest()
    {
        QObject::connect(&m_events, &SessionEvents::screensDidSleep,
                         [this] { m_signals.emplace_back("sleep"); });
        QObject::connect(&m_events, &SessionEvents::screensDidWake,
                         [this] { m_signals.emplace_back("wake"); });
    }

    // Waits for as many signals as expected and for the client to have handled everything sent
    // before, then compares the whole sequence, so a late extra signal is seen too.
    void expectSignals(const std::vector<std::string>& expected)
    {
        waitUntil([&] { return m_signals.size() >= expected.size(); });
        EXPECT_TRUE(settle());
        EXPECT_EQ(m_signals, expected);
    }

    // Plugs in an output that is already off, which changes nothing for displays either asleep
    // or with one on, and waits until the client asks for its power. The client handles events
    // in order, so by then it has handled everything the compositor sent before.
    bool settle()
    {
        const int output = m_compositorUnderTest->addOutput(m_offMode);
        return waitUntil([&] { return m_compositorUnderTest->livePowerObjectCount(output) > 0; });
    }

    FakePowerCompositor* m_compositorUnderTest = nullptr;
    std::uint32_t m_offMode = 0;
    SessionEvents m_events;
    std::vector<std::string> m_signals;
};

// The same behaviour is expected from both protocols; only the mode numbers differ.
struct ProtocolCase {
    Manager manager;
    WaylandDisplaySleepMonitor::Protocol protocol;
    std::uint32_t on;
    std::uint32_t off;
};

void PrintTo(const ProtocolCase& protocolCase, std::ostream* out)
{
    *out << (protocolCase.manager == Manager::Kde ? "KWin DPMS" : "wlroots output power");
}

class WaylandDisplaySleepMonitorTest : public WaylandDisplaySleepMonitorSetUpTest,
                                       public testing::WithParamInterface<ProtocolCase> {
protected:
    void start(int outputCount)
    {
        ASSERT_TRUE(m_runtimeDir.isValid());
        m_compositor = std::make_unique<FakePowerCompositor>(GetParam().manager, outputCount);
        ASSERT_TRUE(m_compositor->isRunning());
        m_compositorUnderTest = m_compositor.get();
        m_offMode = GetParam().off;
        m_monitor = WaylandDisplaySleepMonitor::create(m_events, m_compositor->socketName());
        ASSERT_NE(m_monitor, nullptr);
    }

    void turnOn(int output) { m_compositor->setMode(output, GetParam().on); }
    void turnOff(int output) { m_compositor->setMode(output, GetParam().off); }
    // The client releases its power object of an output as soon as it has handled the change.
    bool waitForPowerObjects(int count)
    {
        return waitUntil([&] { return m_compositor->livePowerObjectCount() == count; });
    }

    std::unique_ptr<FakePowerCompositor> m_compositor;
    std::unique_ptr<WaylandDisplaySleepMonitor> m_monitor;
};

TEST_P(WaylandDisplaySleepMonitorTest, startsAwakeWithTheOfferedProtocol)
{
    start(1);
    EXPECT_EQ(m_monitor->protocol(), GetParam().protocol);
    EXPECT_FALSE(m_monitor->isAsleep());
    EXPECT_TRUE(m_monitor->isObserving());
    EXPECT_EQ(m_compositor->livePowerObjectCount(), 1);
    EXPECT_TRUE(m_signals.empty());
}

TEST_P(WaylandDisplaySleepMonitorTest, outputTurningOffSleepsOnceAndTurningOnWakes)
{
    start(1);
    turnOff(0);
    turnOff(0);
    turnOn(0);
    turnOn(0);
    turnOff(0);
    expectSignals({"sleep", "wake", "sleep"});
    EXPECT_TRUE(m_monitor->isAsleep());
}

TEST_P(WaylandDisplaySleepMonitorTest, oneOfTwoOutputsOffIsNotSleep)
{
    start(2);
    turnOff(0);
    turnOn(0);
    turnOff(1);
    turnOff(0);
    expectSignals({"sleep"});
}

TEST_P(WaylandDisplaySleepMonitorTest, oneOutputWakingWakesTheDisplays)
{
    start(2);
    turnOff(0);
    turnOff(1);
    turnOn(1);
    expectSignals({"sleep", "wake"});
    EXPECT_FALSE(m_monitor->isAsleep());
}

TEST_P(WaylandDisplaySleepMonitorTest, outputRemovedWhileAsleepKeepsTheOthersAsleep)
{
    start(2);
    turnOff(0);
    turnOff(1);
    expectSignals({"sleep"});
    m_compositor->removeOutput(1);
    ASSERT_TRUE(waitUntil([&] { return m_compositor->livePowerObjectCount(1) == 0; }));
    EXPECT_EQ(m_signals, std::vector<std::string>{"sleep"});
    turnOn(0);
    expectSignals({"sleep", "wake"});
}

TEST_P(WaylandDisplaySleepMonitorTest, lastAwakeOutputRemovedIsSleep)
{
    start(2);
    turnOff(0);
    m_compositor->removeOutput(1);
    expectSignals({"sleep"});
    EXPECT_TRUE(waitUntil([&] { return m_compositor->livePowerObjectCount(1) == 0; }));
}

TEST_P(WaylandDisplaySleepMonitorTest, outputPluggedInWhileAsleepWakesOnceItReportsOn)
{
    start(1);
    turnOff(0);
    expectSignals({"sleep"});
    const int added = m_compositor->addOutput();
    expectSignals({"sleep", "wake"});
    turnOff(added);
    expectSignals({"sleep", "wake", "sleep"});
}

TEST_P(WaylandDisplaySleepMonitorTest, displaysAlreadyAsleepAreReportedWhileStarting)
{
    start(1);
    turnOff(0);
    expectSignals({"sleep"});
    SessionEvents otherEvents;
    int otherSleeps = 0;
    QObject::connect(&otherEvents, &SessionEvents::screensDidSleep, [&] { ++otherSleeps; });
    const auto other = WaylandDisplaySleepMonitor::create(otherEvents, m_compositor->socketName());
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(otherSleeps, 1);
    EXPECT_TRUE(other->isAsleep());
}

TEST_P(WaylandDisplaySleepMonitorTest, compositorGoingAwayWhileAsleepWithdrawsTheSleepWithOneWarning)
{
    start(1);
    turnOff(0);
    expectSignals({"sleep"});
    LogCapture log;
    m_compositor->stop();
    ASSERT_TRUE(waitUntil([&] { return !m_monitor->isObserving(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_signals, (std::vector<std::string>{"sleep", "wake"}));
    EXPECT_EQ(countEntries(log, QtWarningMsg), 1);
}

TEST_P(WaylandDisplaySleepMonitorTest, compositorGoingAwayWhileAwakeSendsNothing)
{
    start(2);
    LogCapture log;
    m_compositor->stop();
    ASSERT_TRUE(waitUntil([&] { return !m_monitor->isObserving(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_signals.empty());
    EXPECT_EQ(countEntries(log, QtWarningMsg), 1);
    // Releasing the objects of a dead connection must not crash either.
    m_monitor.reset();
}

TEST_P(WaylandDisplaySleepMonitorTest, destroyingTheMonitorReleasesEveryPowerObject)
{
    start(3);
    ASSERT_EQ(m_compositor->livePowerObjectCount(), 3);
    m_monitor.reset();
    EXPECT_TRUE(waitForPowerObjects(0));
}

INSTANTIATE_TEST_SUITE_P(
    protocols, WaylandDisplaySleepMonitorTest,
    testing::Values(ProtocolCase{Manager::Kde, WaylandDisplaySleepMonitor::Protocol::KdeDpms,
                                 FakePowerCompositor::kdeOn, FakePowerCompositor::kdeOff},
                    ProtocolCase{Manager::Wlroots, WaylandDisplaySleepMonitor::Protocol::WlrOutputPower,
                                 FakePowerCompositor::wlrOn, FakePowerCompositor::wlrOff}),
    [](const testing::TestParamInfo<ProtocolCase>& testCase) {
        return testCase.param.manager == Manager::Kde ? std::string("kdeDpms")
                                                      : std::string("wlrOutputPower");
    });

class WaylandDisplaySleepMonitorKdeTest : public WaylandDisplaySleepMonitorSetUpTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtimeDir.isValid());
        ASSERT_TRUE(m_compositor.isRunning());
        m_compositorUnderTest = &m_compositor;
        m_offMode = FakePowerCompositor::kdeOff;
        m_monitor = WaylandDisplaySleepMonitor::create(m_events, m_compositor.socketName());
        ASSERT_NE(m_monitor, nullptr);
    }

    FakePowerCompositor m_compositor{Manager::Kde, 2};
    std::unique_ptr<WaylandDisplaySleepMonitor> m_monitor;
};

TEST_F(WaylandDisplaySleepMonitorKdeTest, standbyThenOffIsOneSleep)
{
    m_compositor.setMode(0, FakePowerCompositor::kdeStandby);
    m_compositor.setMode(1, FakePowerCompositor::kdeStandby);
    m_compositor.setMode(0, FakePowerCompositor::kdeOff);
    m_compositor.setMode(1, FakePowerCompositor::kdeOff);
    m_compositor.setMode(0, FakePowerCompositor::kdeOn);
    expectSignals({"sleep", "wake"});
}

TEST_F(WaylandDisplaySleepMonitorKdeTest, everySavingModeCountsAsAsleep)
{
    m_compositor.setMode(0, FakePowerCompositor::kdeSuspend);
    m_compositor.setMode(1, FakePowerCompositor::kdeStandby);
    expectSignals({"sleep"});
    EXPECT_TRUE(m_monitor->isAsleep());
}

TEST_F(WaylandDisplaySleepMonitorKdeTest, onlyTheModeCommittedByDoneCounts)
{
    m_compositor.setMode(1, FakePowerCompositor::kdeOff);
    m_compositor.setKdeModes(0, {FakePowerCompositor::kdeOff, FakePowerCompositor::kdeOn});
    m_compositor.setKdeModes(0, {FakePowerCompositor::kdeOn, FakePowerCompositor::kdeStandby});
    expectSignals({"sleep"});
}

class WaylandDisplaySleepMonitorWlrootsTest : public WaylandDisplaySleepMonitorSetUpTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtimeDir.isValid());
        ASSERT_TRUE(m_compositor.isRunning());
        m_compositorUnderTest = &m_compositor;
        m_offMode = FakePowerCompositor::wlrOff;
        m_monitor = WaylandDisplaySleepMonitor::create(m_events, m_compositor.socketName());
        ASSERT_NE(m_monitor, nullptr);
    }

    FakePowerCompositor m_compositor{Manager::Wlroots, 2};
    std::unique_ptr<WaylandDisplaySleepMonitor> m_monitor;
};

TEST_F(WaylandDisplaySleepMonitorWlrootsTest, failedOutputIsLeftOutOfTheDecision)
{
    LogCapture log;
    m_compositor.sendFailed(1);
    ASSERT_TRUE(waitUntil([&] { return m_compositor.livePowerObjectCount() == 1; }));
    EXPECT_TRUE(m_signals.empty());
    EXPECT_EQ(countEntries(log, QtInfoMsg), 1);
    m_compositor.setMode(0, FakePowerCompositor::wlrOff);
    m_compositor.setMode(0, FakePowerCompositor::wlrOn);
    expectSignals({"sleep", "wake"});
}

TEST_F(WaylandDisplaySleepMonitorWlrootsTest, failedOnTheLastAwakeOutputIsSleep)
{
    LogCapture log;
    m_compositor.setMode(0, FakePowerCompositor::wlrOff);
    m_compositor.sendFailed(1);
    expectSignals({"sleep"});
    EXPECT_TRUE(m_monitor->isObserving());
}

TEST_F(WaylandDisplaySleepMonitorWlrootsTest, everyOutputFailedKeepsTheLastState)
{
    LogCapture log;
    m_compositor.sendFailed(0);
    m_compositor.sendFailed(1);
    ASSERT_TRUE(waitUntil([&] { return m_compositor.livePowerObjectCount() == 0; }));
    EXPECT_TRUE(m_signals.empty());
    EXPECT_FALSE(m_monitor->isAsleep());
}

TEST_F(WaylandDisplaySleepMonitorSetUpTest, compositorWithoutPowerManagerIsNotAvailable)
{
    FakePowerCompositor compositor(Manager::None);
    ASSERT_TRUE(compositor.isRunning());
    LogCapture log;
    EXPECT_EQ(WaylandDisplaySleepMonitor::create(m_events, compositor.socketName()), nullptr);
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_EQ(countEntries(log, QtInfoMsg), 1);
    EXPECT_TRUE(log.entries().first().message.contains(QStringLiteral("org_kde_kwin_dpms_manager")));
}

TEST_F(WaylandDisplaySleepMonitorSetUpTest, compositorOfferingBothBindsOnlyKwinsManager)
{
    FakePowerCompositor compositor(Manager::Both);
    ASSERT_TRUE(compositor.isRunning());
    const auto monitor = WaylandDisplaySleepMonitor::create(m_events, compositor.socketName());
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->protocol(), WaylandDisplaySleepMonitor::Protocol::KdeDpms);
    EXPECT_EQ(compositor.boundManagers(), std::vector<std::string>{"org_kde_kwin_dpms_manager"});
    EXPECT_EQ(compositor.livePowerObjectCount(), 1);
}

TEST_F(WaylandDisplaySleepMonitorSetUpTest, connectsToWaylandDisplayWhenGivenNoName)
{
    FakePowerCompositor compositor(Manager::Wlroots);
    ASSERT_TRUE(compositor.isRunning());
    const ScopedEnv display("WAYLAND_DISPLAY", compositor.socketName().toLocal8Bit());
    EXPECT_NE(WaylandDisplaySleepMonitor::create(m_events), nullptr);
}

TEST_F(WaylandDisplaySleepMonitorSetUpTest, displayPointingNowhereGivesNoMonitorAndOneLogLine)
{
    const ScopedEnv display("WAYLAND_DISPLAY", "nobody-listens-here");
    LogCapture log;
    EXPECT_EQ(WaylandDisplaySleepMonitor::create(m_events), nullptr);
    EXPECT_EQ(countEntries(log, QtInfoMsg), 1);
    EXPECT_EQ(log.entries().size(), 1);
}

TEST_F(WaylandDisplaySleepMonitorSetUpTest, unsetWaylandDisplayGivesNoMonitorAndOneLogLine)
{
    const ScopedEnv display("WAYLAND_DISPLAY", std::nullopt);
    LogCapture log;
    EXPECT_EQ(WaylandDisplaySleepMonitor::create(m_events), nullptr);
    EXPECT_EQ(countEntries(log, QtInfoMsg), 1);
    EXPECT_EQ(log.entries().size(), 1);
}

} // namespace
