#include "ActivityTracker.h"

#include "FakeClock.h"
#include "FakeIdleTimeSource.h"
#include "QtPrinters.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>

namespace {

const QDateTime tenOClock(QDate(2026, 12, 7), QTime(10, 0));

class ActivityTrackerTest : public testing::Test {
protected:
    FakeClock m_clock{tenOClock};
    ActivityTracker m_tracker{m_clock.clock()};
};

TEST_F(ActivityTrackerTest, idleExactlyAtTheThreshold)
{
    EXPECT_EQ(m_tracker.idleThreshold(), 300.0);
    EXPECT_EQ(m_tracker.lastActivityTimestamp(), tenOClock);

    m_clock.set(tenOClock.addMSecs(299'999));
    EXPECT_TRUE(m_tracker.isUserActive());
    m_clock.set(tenOClock.addSecs(300));
    EXPECT_FALSE(m_tracker.isUserActive());

    m_tracker.recordActivity();
    EXPECT_TRUE(m_tracker.isUserActive());
}

TEST_F(ActivityTrackerTest, disabledIdleTimeoutKeepsAnUntouchedMachineActive)
{
    m_tracker.setIdleThreshold(std::numeric_limits<double>::max());
    m_clock.advance(3600);
    EXPECT_TRUE(m_tracker.isUserActive());
    m_clock.advance(400 * 86400.0);
    EXPECT_TRUE(m_tracker.isUserActive());
}

TEST_F(ActivityTrackerTest, lockingStopsAtOnceAndUnlockingCountsAsInput)
{
    m_tracker.screenLocked();
    EXPECT_FALSE(m_tracker.isUserActive());
    m_tracker.recordActivity();
    EXPECT_FALSE(m_tracker.isUserActive());

    m_clock.advance(3600);
    m_tracker.screenUnlocked();
    EXPECT_TRUE(m_tracker.isUserActive());
    EXPECT_EQ(m_tracker.lastActivityTimestamp(), m_clock.now());
    m_clock.advance(300);
    EXPECT_FALSE(m_tracker.isUserActive());
}

TEST_F(ActivityTrackerTest, displaySleepWithoutMachineSleepPausesUntilTheDisplaysWake)
{
    m_tracker.screensDidSleep();
    EXPECT_FALSE(m_tracker.isUserActive());
    m_clock.advance(1200);
    m_tracker.screensDidWake();
    EXPECT_TRUE(m_tracker.isUserActive());

    // Machine sleep and display sleep share one flag: whichever wake comes first clears it.
    m_tracker.machineWillSleep();
    m_tracker.screensDidSleep();
    m_clock.advance(1200);
    m_tracker.screensDidWake();
    EXPECT_TRUE(m_tracker.isUserActive());
    m_tracker.machineDidWake();
    EXPECT_TRUE(m_tracker.isUserActive());
}

TEST_F(ActivityTrackerTest, stateSignalsFireOnlyOnChange)
{
    QSignalSpy locked(&m_tracker, &ActivityTracker::isScreenLockedChanged);
    QSignalSpy asleep(&m_tracker, &ActivityTracker::isScreenAsleepChanged);
    QSignalSpy threshold(&m_tracker, &ActivityTracker::idleThresholdChanged);
    m_tracker.screenLocked();
    m_tracker.screenLocked();
    m_tracker.machineWillSleep();
    m_tracker.screensDidSleep();
    m_tracker.setIdleThreshold(300.0);
    m_tracker.setIdleThreshold(600.0);
    m_tracker.setIdleThreshold(600.0);
    EXPECT_EQ(locked.count(), 1);
    EXPECT_EQ(asleep.count(), 1);
    EXPECT_EQ(threshold.count(), 1);
}

TEST_F(ActivityTrackerTest, idleTimeSourceIsConsultedWhenAsked)
{
    FakeIdleTimeSource source([this] { return m_clock.now(); });
    m_tracker.setIdleTimeSource(&source);

    {
        SCOPED_TRACE("input elsewhere on the desktop keeps the user present");
        m_clock.advance(1000);
        source.setLastInput(m_clock.now().addSecs(-10));
        EXPECT_TRUE(m_tracker.isUserActive());
        EXPECT_EQ(m_tracker.lastActivityTimestamp(), m_clock.now().addSecs(-10));
    }
    {
        SCOPED_TRACE("the source's idle time reaching the threshold makes the user idle");
        m_clock.advance(290);
        EXPECT_FALSE(m_tracker.isUserActive());
    }
    {
        SCOPED_TRACE("an unlock is newer than the source's last input and is kept");
        m_tracker.screenLocked();
        const int queriesBefore = source.queries();
        EXPECT_FALSE(m_tracker.isUserActive());
        EXPECT_EQ(source.queries(), queriesBefore);
        m_clock.advance(60);
        m_tracker.screenUnlocked();
        EXPECT_TRUE(m_tracker.isUserActive());
        EXPECT_EQ(m_tracker.lastActivityTimestamp(), m_clock.now());
    }
    {
        SCOPED_TRACE("a source that does not answer leaves the last known input");
        source.setAnswers(false);
        m_clock.advance(299);
        EXPECT_TRUE(m_tracker.isUserActive());
        m_clock.advance(1);
        EXPECT_FALSE(m_tracker.isUserActive());
    }
}

TEST_F(ActivityTrackerTest, withoutAnIdleTimeoutTheSourceIsNotAskedYetCountsOnceATimeoutIsSet)
{
    FakeIdleTimeSource source([this] { return m_clock.now(); });
    m_tracker.setIdleTimeSource(&source);
    m_tracker.setIdleThreshold(std::numeric_limits<double>::max());
    source.setLastInput(m_clock.now());

    m_clock.advance(3600);
    EXPECT_TRUE(m_tracker.isUserActive());
    EXPECT_EQ(source.queries(), 0);

    // Switching the timeout on: the hour without input is seen at once.
    m_tracker.setIdleThreshold(300.0);
    EXPECT_FALSE(m_tracker.isUserActive());
    EXPECT_EQ(source.queries(), 1);
    source.setLastInput(m_clock.now().addSecs(-5));
    EXPECT_TRUE(m_tracker.isUserActive());
}

} // namespace
