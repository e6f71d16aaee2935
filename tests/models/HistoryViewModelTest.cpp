#include "HistoryViewModel.h"

#include "ScopedTimeZone.h"
#include "StoreFixture.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 met = 3600;     // under the default six-hour goal
constexpr qint64 missed = 30000; // over it

template <typename Value>
QList<Value> fieldOf(const QList<BarChartEntry>& entries, Value BarChartEntry::*field)
{
    QList<Value> values;
    for (const BarChartEntry& entry : entries)
        values.append(entry.*field);
    return values;
}

// In Berlin, whose clocks change on 29 March and 25 October 2026.
class HistoryViewModelTest : public StoreFixture {
protected:
    HistoryViewModelTest()
        : StoreFixture(QDateTime(QDate(2026, 12, 5), QTime(14, 0)))
    {
        m_preferences.setValue(PreferenceKeys::dailyGoalEnabled, true);
    }

    // Consecutive days ending with `lastDay`, oldest first; 0 leaves a day without a record.
    void saveRun(const QDate& lastDay, const QList<qint64>& totals)
    {
        for (qsizetype i = 0; i < totals.size(); ++i) {
            if (totals.at(i) > 0)
                save(lastDay.addDays(i - totals.size() + 1), totals.at(i));
        }
    }

    ScopedTimeZone m_zone{"Europe/Berlin"};
    HistoryViewModel m_model{m_store.get(), m_preferences, m_clock.clock()};
};

} // namespace

TEST_F(HistoryViewModelTest, oneDailyBarPerCalendarDayEndingWithTodaysSavedTotal)
{
    saveRun(QDate(2026, 12, 6), {999, 0, 0, 1200, 0, 0, 0, 4500, 777}); // from the day before to tomorrow
    m_model.loadDailyEntries(7);
    EXPECT_EQ(fieldOf(m_model.dailyEntries(), &BarChartEntry::seconds),
              (QList<qint64>{0, 0, 1200, 0, 0, 0, 4500}));
    EXPECT_EQ(
        fieldOf(m_model.dailyEntries(), &BarChartEntry::label),
        (QStringList{u"Nov 29"_s, u"Nov 30"_s, u"Dec 1"_s, u"Dec 2"_s, u"Dec 3"_s, u"Dec 4"_s, u"Dec 5"_s}));

    m_clock.set(QDateTime(QDate(2026, 11, 10), QTime(0, 0))); // the first second of the day
    saveRun(QDate(2026, 10, 26), {100, 250, 300});            // 25 October lasts 25 hours
    m_model.loadDailyEntries(30);
    EXPECT_EQ(m_model.dailyEntries().size(), 30);
    EXPECT_EQ(m_model.dailyEntries().last().date, QDate(2026, 11, 10).startOfDay());
    EXPECT_EQ(fieldOf(m_model.dailyEntries(), &BarChartEntry::seconds).mid(12, 3),
              (QList<qint64>{100, 250, 300}));

    ScopedTimeZone santiago("America/Santiago"); // 6 September 2026 starts at 1:00
    m_clock.set(QDateTime(QDate(2026, 9, 7), QTime(12, 0)));
    saveRun(QDate(2026, 9, 7), {60, 120, 180});
    m_model.loadDailyEntries(3);
    EXPECT_EQ(fieldOf(m_model.dailyEntries(), &BarChartEntry::seconds), (QList<qint64>{60, 120, 180}));
    EXPECT_EQ(m_model.dailyEntries().at(1).date.time(), QTime(1, 0));
}

TEST_F(HistoryViewModelTest, monthlyBarsAverageTheRecordedDaysOfEachWholeMonth)
{
    // The partial month before the oldest bar, two days, a recorded zero that counts, and a
    // local midnight that is still November in UTC.
    for (auto [day, seconds] : {std::pair{QDate(2026, 6, 20), 50000},
                                {QDate(2026, 8, 3), 3600},
                                {QDate(2026, 8, 20), 7201},
                                {QDate(2026, 10, 1), 0},
                                {QDate(2026, 10, 2), 1001},
                                {QDate(2026, 12, 1), 100},
                                {QDate(2026, 12, 5), 300}})
        save(day, seconds);
    m_model.loadMonthlyEntries(6);
    EXPECT_EQ(fieldOf(m_model.monthlyEntries(), &BarChartEntry::seconds),
              (QList<qint64>{0, 5400, 0, 500, 0, 200}));
    EXPECT_EQ(m_model.monthlyEntries().first().label, u"Jul 26"_s);
}

TEST_F(HistoryViewModelTest, streaksCountGoalDaysUpToYesterdayAndAnyGapEndsARun)
{
    const struct {
        const char* situation;
        QDate lastDay;
        QList<qint64> totals;
        qint64 current, longest;
    } cases[] = {
        {"ending yesterday, today met", QDate(2026, 12, 5), {met, met, missed, met, met, met, met}, 3, 3},
        {"no record yesterday", QDate(2026, 12, 3), {met, met, missed, met, met, met}, 0, 3},
        {"a day missing in between", QDate(2026, 12, 4), {met, 0, met}, 1, 1},
        {"today alone", QDate(2026, 12, 5), {missed, met}, 0, 0},
        {"across both clock changes", QDate(2026, 12, 4), QList<qint64>(300, met), 300, 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        executeElsewhere(u"DELETE FROM DailyScreenTime"_s);
        saveRun(c.lastDay, c.totals);
        m_model.computeStreaks();
        EXPECT_EQ(m_model.currentStreak(), c.current);
        EXPECT_EQ(m_model.longestStreak(), c.longest);
    }
    {
        // After travelling west the same calendar day starts at another instant: a second record.
        ScopedTimeZone newYork("America/New_York");
        save(QDate(2026, 12, 3), met);
    }
    m_model.computeStreaks();
    EXPECT_EQ(m_model.currentStreak(), 2);
    EXPECT_EQ(m_model.longestStreak(), 299);
    m_preferences.setValue(PreferenceKeys::dailyGoalEnabled, false);
    m_model.computeStreaks();
    EXPECT_EQ(m_model.currentStreak() + m_model.longestStreak(), 0);
}
