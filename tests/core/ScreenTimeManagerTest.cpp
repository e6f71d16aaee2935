#include "FakeIdleTimeSource.h"
#include "LocalDay.h"

#include "StoreFixture.h"

#include <QSignalSpy>

using namespace PreferenceKeys;

namespace {

const QDateTime nineOClock(QDate(2026, 12, 7), QTime(9, 0));

class ScreenTimeManagerTest : public TrackingFixture {
protected:
    ScreenTimeManagerTest()
        : TrackingFixture(nineOClock)
    {}

    void tickAfter(double seconds, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            m_clock.advance(seconds);
            m_manager.tick();
        }
    }

    qint64 storedTotal(const QDateTime& moment)
    {
        const auto record = m_store->fetchRecord(startOfLocalDay(moment));
        return record ? record->totalSeconds() : -1;
    }
};

// The tracker the manager reads presence from.
using ActivityTrackerTest = ScreenTimeManagerTest;

// The clock set back while the user is away: the time since the last input must not restart
// from the future, or the user counts as present for the whole jump plus the timeout.
TEST_F(ActivityTrackerTest, clockSetBackTakesTheLastInputBackWithIt)
{
    FakeIdleTimeSource source{[this] { return m_clock.now(); }};
    const struct {
        int awayBeforeJump;
        double jump;
        bool withSource;
    } cases[] = {{100, -3600, false}, {100, -3600, true}, {299, -86400, false}, {0, -0.5, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.awayBeforeJump << " s away, " << c.jump << " s, source " << c.withSource);
        m_tracker.setIdleTimeSource(c.withSource ? &source : nullptr);
        m_tracker.recordActivity();
        source.setLastInput(m_clock.now());
        m_clock.advance(c.awayBeforeJump);
        ASSERT_TRUE(m_tracker.isUserActive());
        m_clock.advance(c.jump);
        // The source measures idle time on its own clock, which no wall-clock change moves.
        source.setLastInput(m_clock.now().addSecs(-c.awayBeforeJump));
        EXPECT_TRUE(m_tracker.isUserActive());
        m_clock.set(m_clock.now().addMSecs(299'900 - c.awayBeforeJump * 1000));
        EXPECT_TRUE(m_tracker.isUserActive());
        m_clock.advance(0.1);
        EXPECT_FALSE(m_tracker.isUserActive());
    }
}

// A clock set back a day and then put right crosses into days that already have totals: each
// keeps what it had and grows from there, instead of being overwritten by a count from zero.
TEST_F(ScreenTimeManagerTest, aClockSetBackADayAndCorrectedKeepsBothDays)
{
    const QDateTime yesterday = nineOClock.addDays(-1);
    m_store->saveDayTotal(startOfLocalDay(yesterday), 20000);
    tickAfter(1000);
    tickAfter(1);
    const qint64 today = m_manager.accumulatedSeconds();

    m_clock.set(yesterday.addSecs(3600));
    m_manager.tick();
    EXPECT_EQ(storedTotal(nineOClock), today);
    tickAfter(1);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 20001);

    m_clock.set(nineOClock.addSecs(3600));
    m_manager.tick();
    EXPECT_EQ(storedTotal(yesterday), 20001);
    EXPECT_GE(m_manager.accumulatedSeconds(), today);
    EXPECT_LE(m_manager.accumulatedSeconds(), today + 3);
}

// The timeout is read from the preferences at every tick; nothing else has to pass it on.
TEST_F(ScreenTimeManagerTest, idleTimeoutFromThePreferencesAppliesAtTheNextTick)
{
    const struct {
        bool disabled;
        qint64 minutes;
        int presentSeconds;
    } cases[] = {{true, 5, 7200}, {false, 7, 420}, {false, 0, 300}, {false, -2, 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.disabled << ", " << c.minutes);
        m_preferences.setValue(idleTimeoutDisabled, c.disabled);
        m_preferences.setValue(idleTimeoutMinutes, c.minutes);
        m_tracker.recordActivity();
        const qint64 before = m_manager.accumulatedSeconds();
        tickAfter(1, c.presentSeconds + 1);
        EXPECT_EQ(m_manager.accumulatedSeconds() - before,
                  c.disabled ? c.presentSeconds + 1 : c.presentSeconds - 1);
    }
}

// Break reminders come from the stretch of continuous counted time.
class BreakReminderTest : public ScreenTimeManagerTest {
protected:
    QSignalSpy m_reminders{&m_manager, &ScreenTimeManager::breakReminderDue};
};

TEST_F(BreakReminderTest, firesAtTheConfiguredStretchAcrossMidnightAndStartsOver)
{
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(23, 30)));
    m_manager.resumeAfterWake();
    tickAfter(1, 3599);
    EXPECT_EQ(m_reminders.count(), 0);
    tickAfter(1);
    ASSERT_EQ(m_reminders.count(), 1);
    EXPECT_EQ(m_reminders.at(0).at(0).toLongLong(), 60);
    // One paused tick restarts the stretch, and so does a sleep, a display sleep or a lock
    // even when it is over before the next tick.
    using Event = void (ActivityTracker::*)();
    const std::pair<Event, Event> breaks[] = {
        {&ActivityTracker::machineWillSleep, &ActivityTracker::machineDidWake},
        {&ActivityTracker::screensDidSleep, &ActivityTracker::screensDidWake},
        {&ActivityTracker::screenLocked, &ActivityTracker::screenUnlocked},
    };
    tickAfter(1, 1800);
    m_manager.setPaused(true);
    tickAfter(1);
    m_manager.setPaused(false);
    for (const auto& presenceBreak : breaks) {
        SCOPED_TRACE(&presenceBreak - breaks);
        m_reminders.clear();
        tickAfter(1, 3599);
        EXPECT_EQ(m_reminders.count(), 0);
        tickAfter(1);
        EXPECT_EQ(m_reminders.count(), 1);
        tickAfter(1, 1800);
        (m_tracker.*presenceBreak.first)();
        (m_tracker.*presenceBreak.second)();
    }
    m_reminders.clear();
    tickAfter(1, 3599);
    EXPECT_EQ(m_reminders.count(), 0);
}

TEST_F(BreakReminderTest, settingsApplyFromTheNextCountedTick)
{
    tickAfter(1, 40 * 60);
    m_preferences.setValue(breakReminderMinutes, 30);
    tickAfter(1);
    ASSERT_EQ(m_reminders.count(), 1);
    EXPECT_EQ(m_reminders.at(0).at(0).toLongLong(), 30);

    m_preferences.setValue(breakReminderEnabled, false);
    tickAfter(1, 3600);
    // A length below one minute switches reminders off without resetting the stretch.
    m_preferences.setValue(breakReminderEnabled, true);
    m_preferences.setValue(breakReminderMinutes, 0);
    tickAfter(1, 10);
    EXPECT_EQ(m_reminders.count(), 1);
    EXPECT_EQ(m_manager.continuousActiveSeconds(), 3610);
}

} // namespace
