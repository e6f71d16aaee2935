#include "HistoryViewModel.h"
#include "Preferences.h"
#include "StoreOpener.h"

#include "FakeClock.h"
#include "ScopedTimeZone.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 met = 3600;     // under the default six-hour goal
constexpr qint64 missed = 30000; // over it

QDateTime at(int year, int month, int day, int hour = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, 0));
}

QList<qint64> secondsOf(const QList<BarChartEntry>& entries)
{
    QList<qint64> values;
    for (const BarChartEntry& entry : entries)
        values.append(entry.seconds);
    return values;
}

QStringList labelsOf(const QList<BarChartEntry>& entries)
{
    QStringList labels;
    for (const BarChartEntry& entry : entries)
        labels.append(entry.label);
    return labels;
}

class HistoryViewModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_preferences.registerDefaults();
        m_preferences.setValue(dailyGoalEnabled, true);
        StoreOpener opener(m_dir.path(), m_preferences);
        m_store = opener.open(m_clock.now()).store;
        ASSERT_TRUE(m_store);
    }

    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    void save(const QDate& day, qint64 seconds) { m_store->saveDayTotal(day.startOfDay(), seconds); }

    // Saves `pattern` on consecutive days ending with `lastDay`, oldest first.
    void saveRun(const QDate& lastDay, const QList<qint64>& pattern)
    {
        for (qsizetype i = 0; i < pattern.size(); ++i)
            save(lastDay.addDays(i - pattern.size() + 1), pattern.at(i));
    }

    // The clock-change dates below are Berlin's.
    ScopedTimeZone m_zone{"Europe/Berlin"};
    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    FakeClock m_clock{at(2026, 12, 5, 14)};
    std::unique_ptr<RecordStore> m_store;
};

} // namespace

TEST_F(HistoryViewModelTest, sevenDaysWithTwoRecordsGiveFiveEmptyBarsAndEndWithTodaysSavedTotal)
{
    save(QDate(2026, 11, 28), 999); // one day before the range
    save(QDate(2026, 12, 1), 1200);
    save(QDate(2026, 12, 5), 4500);
    save(QDate(2026, 12, 6), 777); // tomorrow, e.g. saved before the clock was set back
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.loadDailyEntries(7);

    const QList<BarChartEntry>& bars = model.dailyEntries();
    EXPECT_EQ(secondsOf(bars), (QList<qint64>{0, 0, 1200, 0, 0, 0, 4500}));
    EXPECT_EQ(labelsOf(bars), (QStringList{u"Nov 29"_s, u"Nov 30"_s, u"Dec 1"_s, u"Dec 2"_s, u"Dec 3"_s,
                                           u"Dec 4"_s, u"Dec 5"_s}));
    EXPECT_EQ(bars.first().date, QDate(2026, 11, 29).startOfDay());
    EXPECT_EQ(bars.last().date, QDate(2026, 12, 5).startOfDay());
}

TEST_F(HistoryViewModelTest, thirtyDaysAcrossTheAutumnClockChangeKeepOneBarPerCalendarDay)
{
    m_clock.set(at(2026, 11, 10, 0)); // the very first second of the day
    save(QDate(2026, 10, 24), 100);
    save(QDate(2026, 10, 25), 250); // 25 hours long in Berlin
    save(QDate(2026, 10, 26), 300);
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.loadDailyEntries(30);

    const QList<BarChartEntry>& bars = model.dailyEntries();
    ASSERT_EQ(bars.size(), 30);
    for (int i = 0; i < 30; ++i) {
        const QDate expected = QDate(2026, 10, 12).addDays(i);
        EXPECT_EQ(bars.at(i).date, expected.startOfDay()) << i;
        EXPECT_EQ(bars.at(i).label, QLocale().toString(expected, u"MMM d"_s)) << i;
    }
    EXPECT_EQ(bars.at(12).seconds, 100);
    EXPECT_EQ(bars.at(13).seconds, 250);
    EXPECT_EQ(bars.at(14).seconds, 300);
    EXPECT_EQ(bars.first().label, u"Oct 12"_s);
    EXPECT_EQ(bars.last().label, u"Nov 10"_s);
}

TEST_F(HistoryViewModelTest, dayWhoseMidnightDoesNotExistStillGetsItsRecord)
{
    // Santiago moves its clocks from midnight to 1:00 on 6 September 2026.
    ScopedTimeZone zone("America/Santiago");
    m_clock.set(at(2026, 9, 7, 12));
    save(QDate(2026, 9, 5), 60);
    save(QDate(2026, 9, 6), 120);
    save(QDate(2026, 9, 7), 180);
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.loadDailyEntries(3);

    EXPECT_EQ(secondsOf(model.dailyEntries()), (QList<qint64>{60, 120, 180}));
    EXPECT_EQ(model.dailyEntries().at(1).date.time(), QTime(1, 0));
}

TEST_F(HistoryViewModelTest, dailyBarsIgnoreASecondRecordOfTheSameDay)
{
    save(QDate(2026, 12, 3), 400);
    {
        // After travelling west the same calendar day starts at another instant: a second record.
        ScopedTimeZone zone("America/New_York");
        save(QDate(2026, 12, 3), 9000);
    }
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.loadDailyEntries(3);

    const QList<qint64> seconds = secondsOf(model.dailyEntries());
    ASSERT_EQ(seconds.size(), 3);
    EXPECT_TRUE(seconds.at(0) == 400 || seconds.at(0) == 9000) << seconds.at(0);
    EXPECT_EQ(seconds.at(1), 0);
}

TEST_F(HistoryViewModelTest, monthlyBarsAverageOverRecordedDaysOnly)
{
    save(QDate(2026, 6, 20), 50000); // the partial month before the oldest bar
    save(QDate(2026, 8, 3), 3600);
    save(QDate(2026, 8, 20), 7201);
    save(QDate(2026, 10, 1), 0); // a recorded zero counts towards the average
    save(QDate(2026, 10, 2), 1001);
    save(QDate(2026, 12, 1), 100); // local midnight, still November in UTC
    save(QDate(2026, 12, 5), 300); // today
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.loadMonthlyEntries(6);

    const QList<BarChartEntry>& bars = model.monthlyEntries();
    EXPECT_EQ(secondsOf(bars), (QList<qint64>{0, 5400, 0, 500, 0, 200}));
    EXPECT_EQ(labelsOf(bars),
              (QStringList{u"Jul 26"_s, u"Aug 26"_s, u"Sep 26"_s, u"Oct 26"_s, u"Nov 26"_s, u"Dec 26"_s}));
    EXPECT_EQ(bars.first().date, QDate(2026, 7, 5).startOfDay());
    EXPECT_EQ(bars.last().date, QDate(2026, 12, 5).startOfDay());
}

TEST_F(HistoryViewModelTest, monthlyBarsFromTheLastDayOfAMonthShortenToShorterMonths)
{
    m_clock.set(at(2027, 3, 31, 9));
    save(QDate(2027, 2, 28), 600);
    save(QDate(2026, 3, 31), 5000); // the partial month before the first bar
    save(QDate(2026, 4, 1), 900);   // the first bar's month counts in full, not from its date on
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.loadMonthlyEntries(12);

    const QList<BarChartEntry>& bars = model.monthlyEntries();
    ASSERT_EQ(bars.size(), 12);
    EXPECT_EQ(bars.at(0).date, QDate(2026, 4, 30).startOfDay());
    EXPECT_EQ(bars.at(0).seconds, 900);
    EXPECT_EQ(bars.at(9).label, u"Jan 27"_s);
    EXPECT_EQ(bars.at(10).date, QDate(2027, 2, 28).startOfDay());
    EXPECT_EQ(bars.at(10).seconds, 600);
    EXPECT_EQ(bars.at(11).date, QDate(2027, 3, 31).startOfDay());
}

TEST_F(HistoryViewModelTest, labelsFollowTheUsersLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.loadDailyEntries(1);
    model.loadMonthlyEntries(1);

    const QLocale german(QLocale::German);
    EXPECT_EQ(model.dailyEntries().at(0).label, german.monthName(12, QLocale::ShortFormat) + u" 5"_s);
    EXPECT_EQ(model.monthlyEntries().at(0).label, german.monthName(12, QLocale::ShortFormat) + u" 26"_s);
}

TEST_F(HistoryViewModelTest, withoutAStoreBarsAreZeroAndStreaksZero)
{
    HistoryViewModel model(nullptr, m_preferences, m_clock.clock());
    model.loadDailyEntries(7);
    model.loadMonthlyEntries(6);
    model.computeStreaks();

    EXPECT_EQ(secondsOf(model.dailyEntries()), QList<qint64>(7, 0));
    EXPECT_EQ(secondsOf(model.monthlyEntries()), QList<qint64>(6, 0));
    EXPECT_EQ(model.currentStreak(), 0);
    EXPECT_EQ(model.longestStreak(), 0);
}

TEST_F(HistoryViewModelTest, everyLoadAnnouncesFreshEntries)
{
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    QSignalSpy daily(&model, &HistoryViewModel::dailyEntriesChanged);
    QSignalSpy monthly(&model, &HistoryViewModel::monthlyEntriesChanged);
    model.loadDailyEntries(7);
    const QString firstId = model.dailyEntries().first().id;
    model.loadDailyEntries(7);
    model.loadMonthlyEntries(6);

    EXPECT_EQ(daily.count(), 2);
    EXPECT_EQ(monthly.count(), 1);
    EXPECT_NE(model.dailyEntries().first().id, firstId);
    EXPECT_NE(model.dailyEntries().at(0).id, model.dailyEntries().at(1).id);
}

TEST_F(HistoryViewModelTest, streaksCountConsecutiveMetDaysEndingYesterday)
{
    saveRun(QDate(2026, 12, 4), {met, met, missed, met, met, met});
    save(QDate(2026, 12, 5), met); // today never counts
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.computeStreaks();

    EXPECT_EQ(model.longestStreak(), 3);
    EXPECT_EQ(model.currentStreak(), 3);
}

TEST_F(HistoryViewModelTest, missingYesterdayEndsTheCurrentStreakButNotTheLongest)
{
    saveRun(QDate(2026, 12, 3), {met, met, missed, met, met, met});
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.computeStreaks();

    EXPECT_EQ(model.longestStreak(), 3);
    EXPECT_EQ(model.currentStreak(), 0);
}

TEST_F(HistoryViewModelTest, aDayWithoutARecordBreaksTheRun)
{
    save(QDate(2026, 12, 2), met);
    save(QDate(2026, 12, 4), met);
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.computeStreaks();

    EXPECT_EQ(model.longestStreak(), 1);
    EXPECT_EQ(model.currentStreak(), 1);
}

TEST_F(HistoryViewModelTest, todayAloneMakesNoStreak)
{
    save(QDate(2026, 12, 5), met);
    save(QDate(2026, 12, 4), missed);
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.computeStreaks();

    EXPECT_EQ(model.longestStreak(), 0);
    EXPECT_EQ(model.currentStreak(), 0);
}

TEST_F(HistoryViewModelTest, streaksRunThroughBothClockChangeWeeks)
{
    // 29 March has 23 hours and 25 October 25: neither may split or merge a run.
    saveRun(QDate(2026, 4, 2), QList<qint64>(9, met));
    saveRun(QDate(2026, 10, 28), QList<qint64>(7, met));
    m_clock.set(at(2026, 10, 29, 8));
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.computeStreaks();

    EXPECT_EQ(model.longestStreak(), 9);
    EXPECT_EQ(model.currentStreak(), 7);
}

TEST_F(HistoryViewModelTest, aSecondRecordOfADayEndsTheCurrentStreakAndRestartsTheLongest)
{
    saveRun(QDate(2026, 12, 4), {met, met, met});
    {
        ScopedTimeZone zone("America/New_York");
        save(QDate(2026, 12, 3), met);
    }
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.computeStreaks();

    // Oldest first: 2 Dec, 3 Dec (Berlin), 3 Dec (New York), 4 Dec. Counting back from
    // yesterday stops at the second 3 Dec; counting forward restarts there.
    EXPECT_EQ(model.currentStreak(), 2);
    EXPECT_EQ(model.longestStreak(), 2);
}

TEST_F(HistoryViewModelTest, switchingTheGoalOffZeroesBothStreaks)
{
    saveRun(QDate(2026, 12, 4), {met, met, met});
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    model.computeStreaks();
    ASSERT_EQ(model.currentStreak(), 3);

    m_preferences.setValue(dailyGoalEnabled, false);
    model.computeStreaks();
    EXPECT_EQ(model.currentStreak(), 0);
    EXPECT_EQ(model.longestStreak(), 0);
}

TEST_F(HistoryViewModelTest, streakSignalsFireOnlyWhenAFigureChanges)
{
    saveRun(QDate(2026, 12, 4), {met, met});
    HistoryViewModel model(m_store.get(), m_preferences, m_clock.clock());
    QSignalSpy current(&model, &HistoryViewModel::currentStreakChanged);
    QSignalSpy longest(&model, &HistoryViewModel::longestStreakChanged);
    model.computeStreaks();
    model.computeStreaks();
    EXPECT_EQ(current.count(), 1);
    EXPECT_EQ(longest.count(), 1);

    // A new missed day ends the current streak; the longest stays 2.
    save(QDate(2026, 12, 5), missed);
    m_clock.set(at(2026, 12, 6, 9));
    model.computeStreaks();
    EXPECT_EQ(current.count(), 2);
    EXPECT_EQ(longest.count(), 1);
    EXPECT_EQ(model.currentStreak(), 0);
}
