#include "X11DisplaySleepMonitor.h"

#include "LogCapture.h"
#include "SessionEvents.h"
#include "X11Test.h"

#include <QSignalSpy>

#include <deque>

namespace {

class X11DisplaySleepMonitorTest : public X11Test {
protected:
    SessionEvents m_events;
    QSignalSpy m_slept{&m_events, &SessionEvents::screensDidSleep};
    QSignalSpy m_woke{&m_events, &SessionEvents::screensDidWake};
};

TEST_F(X11DisplaySleepMonitorTest, xvfbWithoutDpmsIsLoggedOnceAndNotPolled)
{
    LogCapture log;
    X11DisplaySleepMonitor monitor(*m_connection, m_events);
    EXPECT_FALSE(monitor.start());
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_EQ(log.count(QtInfoMsg, QStringLiteral("com.brightlet.Lumatick.X11"),
                        QStringLiteral("the X display has no DPMS; display sleep is not observed")),
              1);
    monitor.poll();
    EXPECT_EQ(m_slept.count(), 0);
    EXPECT_EQ(m_woke.count(), 0);
}

// Answers the power levels a test scripts, since no X server at hand has DPMS.
class ScriptedMonitor : public X11DisplaySleepMonitor {
public:
    using X11DisplaySleepMonitor::X11DisplaySleepMonitor;
    mutable std::deque<std::optional<bool>> m_answers;

protected:
    bool isDpmsPresent() const override { return true; }
    std::optional<bool> queryScreensAsleep() const override
    {
        if (m_answers.empty())
            return std::nullopt;
        const std::optional<bool> answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
};

TEST_F(X11DisplaySleepMonitorTest, changesOfPowerLevelBecomeSleepAndWakeOnce)
{
    ScriptedMonitor monitor(*m_connection, m_events);
    monitor.m_answers = {false, true, true, std::nullopt, true, false, false};
    ASSERT_TRUE(monitor.start());
    EXPECT_TRUE(monitor.isRunning());
    EXPECT_EQ(m_slept.count(), 0);

    monitor.poll();
    EXPECT_EQ(m_slept.count(), 1);
    monitor.poll(); // still asleep
    monitor.poll(); // no answer: keeps the last state
    monitor.poll();
    EXPECT_EQ(m_slept.count(), 1);
    EXPECT_EQ(m_woke.count(), 0);

    monitor.poll();
    monitor.poll();
    EXPECT_EQ(m_woke.count(), 1);
    EXPECT_EQ(m_slept.count(), 1);
}

TEST_F(X11DisplaySleepMonitorTest, screensAlreadyAsleepAtStartAreReported)
{
    ScriptedMonitor monitor(*m_connection, m_events);
    monitor.m_answers = {true};
    ASSERT_TRUE(monitor.start());
    EXPECT_EQ(m_slept.count(), 1);
}

} // namespace
