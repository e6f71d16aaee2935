#include "LogindSleepMonitor.h"

#include "FakeDesktop.h"
#include "LogCapture.h"
#include "QtPrinters.h"
#include "SessionEvents.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class LogindSleepMonitorTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_desktop.isRunning()); }

    FakeLogindManager& startWithLogind()
    {
        FakeLogindManager& logind = m_desktop.startLogind();
        EXPECT_TRUE(m_monitor.start());
        m_desktop.syncWithBuses();
        EXPECT_TRUE(FakeDesktop::waitFor([&] { return m_monitor.holdsInhibitor(); }));
        return logind;
    }

    FakeDesktop m_desktop;
    SessionEvents m_events;
    LogindSleepMonitor m_monitor{m_desktop.appSystem(), m_events};
    QSignalSpy m_willSleep{&m_events, &SessionEvents::machineWillSleep};
    QSignalSpy m_didWake{&m_events, &SessionEvents::machineDidWake};
};

TEST_F(LogindSleepMonitorTest, takesADelayInhibitorForSleepAtStart)
{
    FakeLogindManager& logind = startWithLogind();

    EXPECT_EQ(logind.inhibitCount(), 1);
    EXPECT_TRUE(logind.newestInhibitorHeld());
    EXPECT_EQ(logind.lastInhibitArguments(),
              (QStringList{QStringLiteral("sleep"), QStringLiteral("Lumatick"),
                           QStringLiteral("Saving today's screen time"), QStringLiteral("delay")}));
}

TEST_F(LogindSleepMonitorTest, inhibitorHeldWhileSleepHandlersRunAndReleasedAfter)
{
    FakeLogindManager& logind = startWithLogind();
    std::optional<bool> heldDuringHandler;
    QObject::connect(
        &m_events, &SessionEvents::machineWillSleep, &m_events,
        [&] { heldDuringHandler = logind.newestInhibitorHeld(); }, Qt::DirectConnection);

    m_desktop.sendPrepareForSleep(true);

    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_willSleep.count() == 1; }));
    EXPECT_EQ(heldDuringHandler, true);
    EXPECT_FALSE(m_monitor.holdsInhibitor());
    EXPECT_TRUE(FakeDesktop::waitFor([&] { return !logind.newestInhibitorHeld(); }));
    EXPECT_EQ(m_didWake.count(), 0);
}

TEST_F(LogindSleepMonitorTest, wakeIsReportedAndANewInhibitorTaken)
{
    FakeLogindManager& logind = startWithLogind();
    m_desktop.sendPrepareForSleep(true);
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return !logind.newestInhibitorHeld(); }));

    m_desktop.sendPrepareForSleep(false);

    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_didWake.count() == 1; }));
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_monitor.holdsInhibitor(); }));
    EXPECT_EQ(logind.inhibitCount(), 2);
    EXPECT_TRUE(logind.newestInhibitorHeld());
    EXPECT_EQ(m_willSleep.count(), 1);
}

TEST_F(LogindSleepMonitorTest, secondSleepCycleReleasesTheRetakenInhibitor)
{
    FakeLogindManager& logind = startWithLogind();
    m_desktop.sendPrepareForSleep(true);
    m_desktop.sendPrepareForSleep(false);
    ASSERT_TRUE(
        FakeDesktop::waitFor([&] { return logind.inhibitCount() == 2 && m_monitor.holdsInhibitor(); }));

    m_desktop.sendPrepareForSleep(true);

    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_willSleep.count() == 2; }));
    EXPECT_TRUE(FakeDesktop::waitFor([&] { return !logind.newestInhibitorHeld(); }));
}

TEST_F(LogindSleepMonitorTest, absentLogindIsLoggedOnceAndLeftAlone)
{
    LogCapture log;

    EXPECT_FALSE(m_monitor.start());

    EXPECT_FALSE(m_monitor.holdsInhibitor());
    EXPECT_EQ(log.count(QtWarningMsg, QStringLiteral("com.brightlet.Lumatick.Session"),
                        QStringLiteral(
                            "logind is not on the system bus; machine sleep and wake will go unnoticed")),
              1);
    EXPECT_EQ(log.entries().size(), 1);
    EXPECT_EQ(m_willSleep.count() + m_didWake.count(), 0);
}

} // namespace
