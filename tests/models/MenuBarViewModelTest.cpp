#include "MenuBarViewModel.h"
#include "ActivityTracker.h"
#include "FormatDuration.h"
#include "Preferences.h"
#include "ScreenTimeManager.h"
#include "StoreOpener.h"

#include "FakeClock.h"
#include "ScopedTimeZone.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 met = 3600;     // under the default six-hour goal
constexpr qint64 missed = 30000; // over it

const QDate today(2026, 6, 10);

QList<qint64> sevenValues(qint64 a, qint64 b, qint64 c, qint64 d, qint64 e, qint64 f, qint64 g)
{
    return {a, b, c, d, e, f, g};
}

class MenuBarViewModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_preferences.registerDefaults();
        m_store = StoreOpener(m_dir.path(), m_preferences).open(m_clock.now()).store;
        ASSERT_TRUE(m_store);
        m_manager.setModelContext(m_store.get());
        m_model.setModelContext(m_store.get());
    }

    // The goal flag is fixed at save time, so it follows the preferences of that moment.
    void save(const QDate& day, qint64 seconds, bool goalEnabled = true)
    {
        m_preferences.setValue(dailyGoalEnabled, goalEnabled);
        m_store->saveDayTotal(day.startOfDay(), seconds);
    }

    void saveDaysBefore(const QDate& day, const QList<qint64>& newestFirst)
    {
        for (qsizetype i = 0; i < newestFirst.size(); ++i)
            save(day.addDays(-1 - i), newestFirst[i]);
    }

    // Today's live total as the tracking core would have it after loading the saved record.
    void setLiveTotal(qint64 seconds)
    {
        m_store->saveDayTotal(m_clock.now().date().startOfDay(), seconds);
        m_manager.loadTodayTotal();
    }

    // Saving never writes a second record for a day; only another writer or an old version can.
    void insertDuplicate(const QDate& day, qint64 seconds, bool goalMet)
    {
        sqlite3* db = nullptr;
        const QByteArray path = m_dir.filePath(u"default.store"_s).toUtf8();
        ASSERT_EQ(sqlite3_open(path.constData(), &db), SQLITE_OK);
        const QByteArray sql =
            u"INSERT INTO DailyScreenTime (date, totalSeconds, goalMet) VALUES (%1, %2, %3)"_s
                .arg(day.startOfDay().toSecsSinceEpoch())
                .arg(seconds)
                .arg(goalMet ? 1 : 0)
                .toUtf8();
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    void refreshWithGoal()
    {
        m_preferences.setValue(dailyGoalEnabled, true);
        m_model.refresh();
        m_model.refreshStatistics();
    }

    QTemporaryDir m_dir;
    FakeClock m_clock{QDateTime(today, QTime(12, 0))};
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    std::unique_ptr<RecordStore> m_store;
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
    MenuBarViewModel m_model{m_manager, m_tracker, m_preferences, m_clock.clock()};
};

// --- Before any refresh ---

TEST_F(MenuBarViewModelTest, startsWithPlaceholderTextGreenAndSevenZeros)
{
    EXPECT_EQ(m_model.formattedTime(), u"0h 0m 0s"_s);
    EXPECT_EQ(m_model.thresholdTier(), ThresholdTier::green);
    EXPECT_EQ(m_model.last7DaySeconds(), QList<qint64>(7, 0));
    EXPECT_FALSE(m_model.isPaused());
    EXPECT_FALSE(m_model.dailyGoalEnabled());
    EXPECT_EQ(m_model.currentStreak(), 0);
}

TEST_F(MenuBarViewModelTest, firstRefreshAtZeroReplacesPlaceholderOnce)
{
    QSignalSpy text(&m_model, &MenuBarViewModel::formattedTimeChanged);
    m_model.refresh();
    m_model.refresh();
    EXPECT_EQ(m_model.formattedTime(), formatDuration(0, true));
    EXPECT_NE(m_model.formattedTime(), u"0h 0m 0s"_s);
    EXPECT_EQ(text.count(), 1);
}

TEST_F(MenuBarViewModelTest, statisticsWithoutStoreKeepTheirValues)
{
    saveDaysBefore(today, {500});
    m_model.setModelContext(nullptr);
    QSignalSpy chart(&m_model, &MenuBarViewModel::last7DaySecondsChanged);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.yesterdaySeconds(), 0);
    EXPECT_EQ(chart.count(), 0);
}

// --- Mirroring the live state ---

TEST_F(MenuBarViewModelTest, refreshMirrorsTotalTierAndPause)
{
    setLiveTotal(3 * 3600);
    m_manager.setPaused(true);
    m_model.refresh();
    EXPECT_EQ(m_model.accumulatedSeconds(), 3 * 3600);
    EXPECT_EQ(m_model.formattedTime(), u"3h 00m 00s"_s);
    EXPECT_EQ(m_model.thresholdTier(), ThresholdTier::yellow);
    EXPECT_TRUE(m_model.isPaused());
}

TEST_F(MenuBarViewModelTest, refreshFollowsShowSecondsAndThresholdChanges)
{
    setLiveTotal(3 * 3600 - 1);
    m_preferences.setValue(showSeconds, false);
    m_model.refresh();
    EXPECT_EQ(m_model.formattedTime(), u"2h 59m"_s);
    EXPECT_EQ(m_model.thresholdTier(), ThresholdTier::green);

    m_preferences.setValue(greenThresholdHours, 1);
    m_model.refresh();
    EXPECT_EQ(m_model.thresholdTier(), ThresholdTier::yellow);
}

TEST_F(MenuBarViewModelTest, observersHearOnlyRealChangesAcrossIdenticalRefreshes)
{
    saveDaysBefore(today, {met, met});
    setLiveTotal(5000);
    QSignalSpy total(&m_model, &MenuBarViewModel::accumulatedSecondsChanged);
    QSignalSpy text(&m_model, &MenuBarViewModel::formattedTimeChanged);
    QSignalSpy tier(&m_model, &MenuBarViewModel::thresholdTierChanged);
    QSignalSpy paused(&m_model, &MenuBarViewModel::isPausedChanged);
    QSignalSpy goal(&m_model, &MenuBarViewModel::dailyGoalEnabledChanged);
    QSignalSpy yesterday(&m_model, &MenuBarViewModel::yesterdaySecondsChanged);
    QSignalSpy average(&m_model, &MenuBarViewModel::sevenDayAvgSecondsChanged);
    QSignalSpy streak(&m_model, &MenuBarViewModel::currentStreakChanged);
    QSignalSpy chart(&m_model, &MenuBarViewModel::last7DaySecondsChanged);

    for (int i = 0; i < 2; ++i) {
        m_model.refresh();
        m_model.refreshStatistics();
    }

    EXPECT_EQ(total.count(), 1);
    EXPECT_EQ(text.count(), 1);
    EXPECT_EQ(tier.count(), 0);
    EXPECT_EQ(paused.count(), 0);
    EXPECT_EQ(goal.count(), 1);
    EXPECT_EQ(yesterday.count(), 1);
    EXPECT_EQ(average.count(), 1);
    EXPECT_EQ(streak.count(), 1);
    EXPECT_EQ(chart.count(), 1);
}

TEST_F(MenuBarViewModelTest, changeOfOneChartDayNotifiesOnceWithTheNewList)
{
    m_model.refresh();
    m_model.refreshStatistics();
    QSignalSpy chart(&m_model, &MenuBarViewModel::last7DaySecondsChanged);
    save(today.addDays(-6), 42);
    m_model.refreshStatistics();
    m_model.refreshStatistics();
    ASSERT_EQ(chart.count(), 1);
    EXPECT_EQ(chart.at(0).at(0).value<QList<qint64>>().first(), 42);
}

TEST_F(MenuBarViewModelTest, modelContextNotifiesOnlyWhenTheStoreDiffers)
{
    QSignalSpy context(&m_model, &MenuBarViewModel::modelContextChanged);
    m_model.setModelContext(m_store.get());
    EXPECT_EQ(context.count(), 0);
    m_model.setModelContext(nullptr);
    EXPECT_EQ(context.count(), 1);
}

// --- Yesterday and the seven-day average ---

TEST_F(MenuBarViewModelTest, yesterdayIsZeroWithoutARecord)
{
    save(today.addDays(-2), 900);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.yesterdaySeconds(), 0);
}

TEST_F(MenuBarViewModelTest, yesterdayTakesItsRecordOnly)
{
    save(today.addDays(-1), 900);
    save(today, 5000);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.yesterdaySeconds(), 900);
}

TEST_F(MenuBarViewModelTest, averageCountsOnlyDaysWithARecord)
{
    save(today.addDays(-1), 3600);
    save(today.addDays(-4), 7200);
    save(today.addDays(-7), 0);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.sevenDayAvgSeconds(), 3600);
}

TEST_F(MenuBarViewModelTest, averageDropsTheRemainder)
{
    save(today.addDays(-2), 100);
    save(today.addDays(-3), 101);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.sevenDayAvgSeconds(), 100);
}

TEST_F(MenuBarViewModelTest, averageCoversExactlyTheSevenDaysBeforeToday)
{
    save(today.addDays(-8), 99'000);
    save(today.addDays(-7), 1000);
    save(today, 99'000);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.sevenDayAvgSeconds(), 1000);
}

TEST_F(MenuBarViewModelTest, averageIsZeroWithoutRecords)
{
    save(today, 5000);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.sevenDayAvgSeconds(), 0);
}

// --- Current streak ---

TEST_F(MenuBarViewModelTest, streakStopsAtTheFirstMissingDay)
{
    saveDaysBefore(today, {met, met});
    save(today.addDays(-4), met);
    save(today.addDays(-5), met);
    refreshWithGoal();
    EXPECT_EQ(m_model.currentStreak(), 2);
}

TEST_F(MenuBarViewModelTest, streakIsZeroWhenYesterdayIsMissing)
{
    saveDaysBefore(today.addDays(-1), {met, met, met, met});
    refreshWithGoal();
    EXPECT_EQ(m_model.currentStreak(), 0);
}

TEST_F(MenuBarViewModelTest, streakStopsAtADayThatMissedTheGoal)
{
    saveDaysBefore(today, {met, met, missed, met});
    refreshWithGoal();
    EXPECT_EQ(m_model.currentStreak(), 2);
}

TEST_F(MenuBarViewModelTest, todayNeverEntersTheStreak)
{
    saveDaysBefore(today, {met});
    save(today, met);
    refreshWithGoal();
    EXPECT_EQ(m_model.currentStreak(), 1);

    save(today, missed);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.currentStreak(), 1);
}

TEST_F(MenuBarViewModelTest, streakLongerThanOneReadContinuesToTheBreak)
{
    QList<qint64> days(100, met);
    saveDaysBefore(today, days);
    save(today.addDays(-102), met);
    refreshWithGoal();
    EXPECT_EQ(m_model.currentStreak(), 100);
}

TEST_F(MenuBarViewModelTest, streakCoveringEveryRecordCountsThemAll)
{
    saveDaysBefore(today, QList<qint64>(16, met));
    refreshWithGoal();
    EXPECT_EQ(m_model.currentStreak(), 16);
}

TEST_F(MenuBarViewModelTest, secondRecordForACountedDayEndsTheStreak)
{
    saveDaysBefore(today, {met, met, met, met});
    insertDuplicate(today.addDays(-2), met, true);
    refreshWithGoal();
    EXPECT_EQ(m_model.currentStreak(), 2);
}

TEST_F(MenuBarViewModelTest, streakFollowsTheMirroredGoalNotThePreference)
{
    saveDaysBefore(today, {met, met});
    m_preferences.setValue(dailyGoalEnabled, true);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.currentStreak(), 0);

    m_model.refresh();
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.currentStreak(), 2);
}

TEST_F(MenuBarViewModelTest, goalOffGivesNoStreakButStillRebuildsTheChart)
{
    saveDaysBefore(today, {met, met});
    refreshWithGoal();
    ASSERT_EQ(m_model.currentStreak(), 2);

    m_preferences.setValue(dailyGoalEnabled, false);
    save(today.addDays(-3), 777, false);
    m_model.refresh();
    m_model.refreshStatistics();
    EXPECT_FALSE(m_model.dailyGoalEnabled());
    EXPECT_EQ(m_model.currentStreak(), 0);
    EXPECT_EQ(m_model.last7DaySeconds(), sevenValues(0, 0, 0, 777, met, met, 0));
}

// --- Last seven days ---

TEST_F(MenuBarViewModelTest, lastDayIsTheLiveTotalEvenWhenTheRecordLags)
{
    setLiveTotal(5000);
    m_store->saveDayTotal(today.startOfDay(), 4000);
    save(today.addDays(-6), 60);
    save(today.addDays(-7), 99);
    m_model.refresh();
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.last7DaySeconds(), sevenValues(60, 0, 0, 0, 0, 0, 5000));
    EXPECT_EQ(m_model.last7DaySeconds().last(), m_model.accumulatedSeconds());
}

TEST_F(MenuBarViewModelTest, lastDayKeepsTheTotalOfTheLastRefresh)
{
    setLiveTotal(5000);
    m_model.refresh();
    setLiveTotal(6000);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.last7DaySeconds().last(), 5000);
}

TEST_F(MenuBarViewModelTest, firstRecordFetchedWinsForADayStoredTwice)
{
    save(today.addDays(-3), 111);
    insertDuplicate(today.addDays(-3), 222, true);
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.last7DaySeconds().at(3), 111);
}

// --- Calendar edges ---

TEST_F(MenuBarViewModelTest, weekAcrossTheSpringClockChangeKeepsEveryDay)
{
    // Clocks in Berlin went forward on 29 March 2026, leaving a 23-hour day.
    const QDate tuesday(2026, 3, 31);
    m_clock.set(QDateTime(tuesday, QTime(0, 30)));
    saveDaysBefore(tuesday, {met, met + 1, met + 2, met + 3, met + 4, met + 5, met + 6, met + 7});
    refreshWithGoal();
    EXPECT_EQ(m_model.yesterdaySeconds(), met);
    EXPECT_EQ(m_model.sevenDayAvgSeconds(), met + 3);
    EXPECT_EQ(m_model.currentStreak(), 8);
    EXPECT_EQ(m_model.last7DaySeconds(), sevenValues(met + 5, met + 4, met + 3, met + 2, met + 1, met, 0));
}

TEST_F(MenuBarViewModelTest, weekAcrossTheAutumnClockChangeKeepsEveryDay)
{
    // 25 October 2026 lasts 25 hours in Berlin.
    const QDate monday(2026, 10, 26);
    m_clock.set(QDateTime(monday, QTime(23, 30)));
    saveDaysBefore(monday, {1, 2, 3, 4, 5, 6});
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.yesterdaySeconds(), 1);
    EXPECT_EQ(m_model.last7DaySeconds(), sevenValues(6, 5, 4, 3, 2, 1, 0));
}

TEST_F(MenuBarViewModelTest, dayWithoutAMidnightCountsInEveryFigure)
{
    // In Chile the clocks skip from midnight to one o'clock on 6 September 2026.
    ScopedTimeZone zone("America/Santiago");
    const QDate tuesday(2026, 9, 8);
    m_clock.set(QDateTime(tuesday, QTime(12, 0)));
    saveDaysBefore(tuesday, {met, met, met, met});
    refreshWithGoal();
    EXPECT_EQ(QDate(2026, 9, 6).startOfDay().time(), QTime(1, 0));
    EXPECT_EQ(m_model.currentStreak(), 4);
    EXPECT_EQ(m_model.last7DaySeconds(), sevenValues(0, 0, met, met, met, met, 0));
}

} // namespace
