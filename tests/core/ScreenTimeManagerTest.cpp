#include "ScreenTimeManager.h"
#include "ActivityTracker.h"
#include "LocalDay.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "StoreOpener.h"

#include "FakeClock.h"
#include "LogCapture.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

using namespace PreferenceKeys;

namespace {

const QDateTime nineOClock(QDate(2026, 12, 7), QTime(9, 0));

class ScreenTimeManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_preferences.registerDefaults();
        m_store = StoreOpener(m_dir.path(), m_preferences).open(nineOClock).store;
        ASSERT_TRUE(m_store);
        m_tracker.setIdleThreshold(std::numeric_limits<double>::max());
        m_manager.setModelContext(m_store.get());
        m_manager.setOnTick([this] { m_calls.append(QStringLiteral("tick")); });
        m_manager.setOnMidnightReset([this] { m_calls.append(QStringLiteral("midnight")); });
    }

    void tickAfter(double seconds)
    {
        m_clock.advance(seconds);
        m_manager.tick();
    }

    qint64 storedTotal(const QDateTime& moment)
    {
        const auto record = m_store->fetchRecord(startOfLocalDay(moment));
        return record ? record->totalSeconds() : -1;
    }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(QStringLiteral("p.conf"))};
    std::unique_ptr<RecordStore> m_store;
    FakeClock m_clock{nineOClock};
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
    QStringList m_calls;
};

TEST_F(ScreenTimeManagerTest, lateTicksNeitherLoseNorInventTime)
{
    for (int i = 0; i < 1000; ++i)
        tickAfter(1.05);
    EXPECT_NEAR(m_manager.accumulatedSeconds(), 1050, 1);
    EXPECT_GE(m_manager.fractionalAccumulator(), 0.0);
    EXPECT_LT(m_manager.fractionalAccumulator(), 1.0);
}

TEST_F(ScreenTimeManagerTest, longGapIsCappedAndClockSetBackIsPaidBack)
{
    tickAfter(0.5);
    tickAfter(40);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 3);
    EXPECT_DOUBLE_EQ(m_manager.fractionalAccumulator(), 0.5);

    tickAfter(-2);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 3);
    EXPECT_DOUBLE_EQ(m_manager.fractionalAccumulator(), -1.5);
    tickAfter(1);
    tickAfter(1);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 3);
    tickAfter(1);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 4);
    EXPECT_DOUBLE_EQ(m_manager.fractionalAccumulator(), 0.5);
}

TEST_F(ScreenTimeManagerTest, firstTickAfterMidnightSavesYesterdayAndCreditsTheNewDay)
{
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(23, 51, 39, 400)));
    m_manager.resumeAfterWake();
    for (int i = 0; i < 500; ++i)
        tickAfter(1);
    ASSERT_EQ(m_clock.now().time(), QTime(23, 59, 59, 400));
    ASSERT_EQ(m_manager.accumulatedSeconds(), 500);
    m_calls.clear();

    tickAfter(1);
    EXPECT_EQ(storedTotal(nineOClock), 500);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 1);
    EXPECT_EQ(m_calls, (QStringList{QStringLiteral("midnight"), QStringLiteral("tick")}));
    EXPECT_EQ(m_manager.lastTrackedDate().date(), QDate(2026, 12, 8));
    EXPECT_EQ(m_manager.continuousActiveSeconds(), 501);
}

// A clock set back a day and then put right crosses into days that already have totals: each
// keeps what it had and grows from there, instead of being overwritten by a count from zero.
TEST_F(ScreenTimeManagerTest, aClockSetBackADayAndCorrectedKeepsBothDays)
{
    const QDateTime yesterday = nineOClock.addDays(-1);
    m_store->saveDayTotal(startOfLocalDay(yesterday), 20000);
    m_manager.loadTodayTotal();
    tickAfter(1000);
    tickAfter(1);
    const qint64 today = m_manager.accumulatedSeconds();
    ASSERT_GT(today, 0);

    m_clock.set(yesterday.addSecs(3600));
    m_manager.tick();
    EXPECT_EQ(storedTotal(nineOClock), today);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 20000);
    tickAfter(1);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 20001);

    m_clock.set(nineOClock.addSecs(3600));
    m_manager.tick();
    EXPECT_EQ(storedTotal(yesterday), 20001);
    // Today goes on from its stored total; the forward jump itself earns at most one tick's cap.
    EXPECT_GE(m_manager.accumulatedSeconds(), today);
    EXPECT_LE(m_manager.accumulatedSeconds(), today + 3);
}

TEST_F(ScreenTimeManagerTest, pausedManagerStillSavesEveryMinuteAndCallsBack)
{
    m_store->saveDayTotal(startOfLocalDay(nineOClock), 120);
    m_manager.loadTodayTotal();
    tickAfter(1);
    tickAfter(1);
    ASSERT_EQ(m_manager.continuousActiveSeconds(), 2);
    m_manager.setPaused(true);
    m_store->saveDayTotal(startOfLocalDay(nineOClock), 0);

    for (int i = 3; i <= 60; ++i)
        tickAfter(1);
    EXPECT_EQ(m_manager.continuousActiveSeconds(), 0);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 122);
    EXPECT_EQ(storedTotal(nineOClock), 122);
    EXPECT_EQ(m_manager.ticksSinceLastSave(), 0);
    EXPECT_EQ(m_calls.count(QStringLiteral("tick")), 60);

    m_store->saveDayTotal(startOfLocalDay(nineOClock), 0);
    for (int i = 1; i <= 59; ++i)
        tickAfter(1);
    EXPECT_EQ(storedTotal(nineOClock), 0);
    tickAfter(1);
    EXPECT_EQ(storedTotal(nineOClock), 122);
}

TEST_F(ScreenTimeManagerTest, idleOrLockedTicksCountNothing)
{
    m_tracker.setIdleThreshold(300);
    tickAfter(1);
    m_tracker.screenLocked();
    tickAfter(1);
    m_tracker.screenUnlocked();
    tickAfter(1);
    // 299 s after the unlock: still present, and a long interval credits only 3 s.
    tickAfter(298);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 5);
    tickAfter(1);
    tickAfter(1);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 5);
    EXPECT_EQ(m_manager.continuousActiveSeconds(), 0);
}

TEST_F(ScreenTimeManagerTest, wakingOnALaterDaySavesTheOldDayAndLoadsToday)
{
    tickAfter(1);
    tickAfter(1);
    const QDateTime twoDaysLater = nineOClock.addDays(2).addSecs(3600);
    m_store->saveDayTotal(startOfLocalDay(twoDaysLater), 50);
    tickAfter(0.5);
    m_calls.clear();

    m_clock.set(twoDaysLater);
    m_manager.resumeAfterWake();
    EXPECT_EQ(storedTotal(nineOClock), 2);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 50);
    EXPECT_EQ(m_manager.fractionalAccumulator(), 0.0);
    EXPECT_EQ(m_manager.lastTickTimestamp(), twoDaysLater);
    EXPECT_TRUE(m_calls.isEmpty());

    // Waking on the same day keeps the total and only restarts the elapsed-time measurement.
    m_clock.advance(7200);
    m_manager.resumeAfterWake();
    tickAfter(1);
    EXPECT_EQ(m_manager.accumulatedSeconds(), 51);
}

TEST_F(ScreenTimeManagerTest, withoutAStoreCountingGoesOnSilently)
{
    LogCapture log;
    ScreenTimeManager manager(m_tracker, m_preferences, m_clock.clock());
    int ticks = 0;
    manager.setOnTick([&] { ++ticks; });
    manager.loadTodayTotal();
    manager.saveToday();
    for (int i = 0; i < 130; ++i) {
        m_clock.advance(1);
        manager.tick();
    }
    m_clock.set(nineOClock.addDays(1));
    manager.tick();
    manager.resumeAfterWake();
    EXPECT_EQ(ticks, 131);
    EXPECT_EQ(manager.accumulatedSeconds(), 3);
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(ScreenTimeManagerTest, propertySignalsOnlyOnChange)
{
    QSignalSpy total(&m_manager, &ScreenTimeManager::accumulatedSecondsChanged);
    QSignalSpy paused(&m_manager, &ScreenTimeManager::isPausedChanged);
    tickAfter(0.4);
    tickAfter(0.4);
    tickAfter(0.4);
    m_manager.setPaused(true);
    m_manager.setPaused(true);
    m_manager.togglePause();
    EXPECT_EQ(total.count(), 1);
    EXPECT_EQ(paused.count(), 2);
}

TEST_F(ScreenTimeManagerTest, startCreatesOneCoarseSecondTimer)
{
    ActivityTracker tracker{[] { return QDateTime::currentDateTime(); }};
    tracker.setIdleThreshold(std::numeric_limits<double>::max());
    ScreenTimeManager manager(tracker, m_preferences, [] { return QDateTime::currentDateTime(); });
    int ticks = 0;
    manager.setOnTick([&] { ++ticks; });
    manager.start();
    manager.start();
    EXPECT_TRUE(manager.isStarted());
    EXPECT_EQ(manager.findChildren<QTimer*>().size(), 1);

    QDeadlineTimer deadline(5000);
    while (ticks < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_GE(ticks, 2);
    EXPECT_GE(manager.accumulatedSeconds(), 1);
}

// Break reminders come from the stretch of continuous counted time.
class BreakReminderTest : public ScreenTimeManagerTest {
protected:
    void countSeconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i)
            tickAfter(1);
    }
};

TEST_F(BreakReminderTest, firesAtTheConfiguredStretchAndStartsOver)
{
    QSignalSpy reminders(&m_manager, &ScreenTimeManager::breakReminderDue);
    countSeconds(3599);
    EXPECT_EQ(reminders.count(), 0);
    countSeconds(1);
    ASSERT_EQ(reminders.count(), 1);
    EXPECT_EQ(reminders.at(0).at(0).toLongLong(), 60);
    EXPECT_EQ(m_manager.continuousActiveSeconds(), 0);

    countSeconds(3599);
    EXPECT_EQ(reminders.count(), 1);
    countSeconds(1);
    EXPECT_EQ(reminders.count(), 2);
}

TEST_F(BreakReminderTest, oneNonCountingTickRestartsTheStretchButMidnightDoesNot)
{
    QSignalSpy reminders(&m_manager, &ScreenTimeManager::breakReminderDue);
    countSeconds(1800);
    m_manager.setPaused(true);
    tickAfter(1);
    m_manager.setPaused(false);
    countSeconds(3599);
    EXPECT_EQ(reminders.count(), 0);
    countSeconds(1);
    EXPECT_EQ(reminders.count(), 1);

    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(23, 30)));
    m_manager.resumeAfterWake();
    countSeconds(3599);
    EXPECT_GT(m_manager.lastTrackedDate().date(), QDate(2026, 12, 7));
    EXPECT_EQ(reminders.count(), 1);
    countSeconds(1);
    EXPECT_EQ(reminders.count(), 2);
}

TEST_F(BreakReminderTest, settingsApplyFromTheNextCountedTick)
{
    QSignalSpy reminders(&m_manager, &ScreenTimeManager::breakReminderDue);
    countSeconds(40 * 60);
    m_preferences.setValue(breakReminderMinutes, 30);
    EXPECT_EQ(reminders.count(), 0);
    countSeconds(1);
    ASSERT_EQ(reminders.count(), 1);
    EXPECT_EQ(reminders.at(0).at(0).toLongLong(), 30);

    m_preferences.setValue(breakReminderEnabled, false);
    countSeconds(3 * 3600);
    EXPECT_EQ(reminders.count(), 1);

    // A length below one minute switches reminders off without resetting the stretch.
    m_preferences.setValue(breakReminderEnabled, true);
    m_preferences.setValue(breakReminderMinutes, 0);
    countSeconds(10);
    EXPECT_EQ(reminders.count(), 1);
    EXPECT_EQ(m_manager.continuousActiveSeconds(), 3 * 3600 + 10);
}

} // namespace
