#include "MenuBarViewModel.h"
#include "ScopedTimeZone.h"
#include "StoreFixture.h"

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 met = 3600;     // under the default six-hour goal
constexpr qint64 missed = 30000; // over it

const QDate today(2026, 6, 10);

class MenuBarViewModelTest : public TrackingFixture {
protected:
    MenuBarViewModelTest()
        : TrackingFixture(QDateTime(today, QTime(12, 0)))
    {
        m_preferences.setValue(dailyGoalEnabled, true); // the goal flag is fixed when a day is saved
        m_model.setModelContext(m_store.get());
    }

    // Fresh records, newest first from the day before today; 0 leaves a day without a record.
    void recordDaysBefore(const QList<qint64>& newestFirst)
    {
        executeElsewhere(u"DELETE FROM DailyScreenTime"_s);
        for (qsizetype i = 0; i < newestFirst.size(); ++i) {
            if (newestFirst[i] > 0)
                save(m_clock.now().date().addDays(-1 - i), newestFirst[i]);
        }
        save(m_clock.now().date(), missed); // today never counts in the statistics
        m_model.refresh();
        m_model.refreshStatistics();
    }

    MenuBarViewModel m_model{m_manager, m_tracker, m_preferences, m_clock.clock()};
};

TEST_F(MenuBarViewModelTest, statisticsReadTheSevenRecordedDaysBeforeTodayAndTheStreakStopsAtTheFirstBreak)
{
    const QList<qint64> page(16, met);
    const struct {
        const char* situation;
        QList<qint64> newestFirst;
        qint64 yesterday, average, streak;
    } cases[] = {{"no records", {}, 0, 0, 0},
                 {"a missing day", {met, met, 0, met, met}, met, met, 2},
                 {"a day over the goal", {met, met, missed, met}, met, 10200, 2},
                 {"no record yesterday, remainder dropped", {0, 100, 101}, 0, 100, 0},
                 {"seven days back, not eight", {1000, 0, 0, 0, 0, 0, 2000, 99000}, 1000, 1500, 1},
                 {"exactly one page of records", page, met, met, 16},
                 {"longer than a page", page + page + page + QList<qint64>{0, met}, met, met, 48}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        recordDaysBefore(c.newestFirst);
        EXPECT_EQ(m_model.yesterdaySeconds(), c.yesterday);
        EXPECT_EQ(m_model.sevenDayAvgSeconds(), c.average);
        EXPECT_EQ(m_model.currentStreak(), c.streak);
    }
    // A second record of a counted day, as another writer or an older version leaves it.
    executeElsewhere(u"INSERT INTO DailyScreenTime (date, totalSeconds, goalMet) VALUES (%1, 60, 1)"_s.arg(
        today.addDays(-2).startOfDay().toSecsSinceEpoch()));
    m_model.refreshStatistics();
    EXPECT_EQ(m_model.currentStreak(), 2);
    EXPECT_EQ(m_model.last7DaySeconds().at(4), met) << "the chart keeps the first record of a day";
}

TEST_F(MenuBarViewModelTest, weeksAcrossClockChangesAndADayWithoutMidnightKeepEveryDay)
{
    const QList<qint64> week{met, met + 1, met + 2, met + 3, met + 4, met + 5, met + 6, met + 7};
    for (auto [zone, now] :
         {std::pair{"Europe/Berlin", QDateTime(QDate(2026, 3, 31), QTime(0, 30))}, // 23-hour day
          {"Europe/Berlin", QDateTime(QDate(2026, 10, 26), QTime(23, 30))},        // 25-hour day
          {"America/Santiago", QDateTime(QDate(2026, 9, 8), QTime(12, 0))}}) {     // no midnight
        SCOPED_TRACE(zone);
        ScopedTimeZone local(zone);
        m_clock.set(QDateTime(now.date(), now.time()));
        recordDaysBefore(week);
        EXPECT_EQ(m_model.yesterdaySeconds(), met);
        EXPECT_EQ(m_model.sevenDayAvgSeconds(), met + 3);
        EXPECT_EQ(m_model.currentStreak(), 8);
        EXPECT_EQ(m_model.last7DaySeconds(),
                  (QList<qint64>{met + 5, met + 4, met + 3, met + 2, met + 1, met, 0}));
    }
}

} // namespace
