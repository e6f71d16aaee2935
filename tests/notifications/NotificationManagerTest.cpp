#include "NotificationManager.h"

#include "ActivityTracker.h"
#include "FakeNotificationCenter.h"
#include "LocalDay.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "StoreOpener.h"

#include "FakeClock.h"
#include "LogCapture.h"
#include "QtPrinters.h"
#include "ScopedTimeZone.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

static void PrintTo(const CalendarTrigger& trigger, std::ostream* out)
{
    *out << "weekday " << (trigger.weekday ? std::to_string(*trigger.weekday) : "any") << ", " << trigger.hour
         << ':' << trigger.minute << (trigger.repeats ? ", repeating" : ", once");
}

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

const QString dailyId = u"com.lumatick.daily"_s;
const QString weeklyId = u"com.lumatick.weekly"_s;

// 1 March 2026 is a Sunday, the first day of the week in the United States.
const QDate sunday(2026, 3, 1);

QDateTime at(const QDate& day, int hour, int minute, int second = 0)
{
    return QDateTime(day, QTime(hour, minute, second));
}

constexpr qint64 hours(qint64 count)
{
    return count * 3600;
}

class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale m_previous;
};

class NotificationManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sunday.dayOfWeek(), Qt::Sunday);
        m_preferences.registerDefaults();
        m_store = StoreOpener(m_dir.path(), m_preferences).open(m_clock.now()).store;
        ASSERT_TRUE(m_store);
        m_screenTime.setModelContext(m_store.get());
        m_notifications.setModelContext(m_store.get());
        m_notifications.setScreenTimeManager(&m_screenTime);
    }

    // The live count lags the stored total when ticks since the last save are not written yet.
    void setToday(qint64 storedSeconds, qint64 liveSeconds)
    {
        const QDateTime today = startOfLocalDay(m_clock.now());
        m_store->saveDayTotal(today, liveSeconds);
        m_screenTime.loadTodayTotal();
        m_store->saveDayTotal(today, storedSeconds);
    }

    void store(const QDate& day, qint64 seconds) { m_store->saveDayTotal(day.startOfDay(), seconds); }

    void enableDaily(int hour)
    {
        m_preferences.setValue(dailyNotifEnabled, true);
        m_preferences.setValue(dailyNotifHour, hour);
    }

    void enableWeekly(int weekday, int hour)
    {
        m_preferences.setValue(weeklyNotifEnabled, true);
        m_preferences.setValue(weeklyNotifDay, weekday);
        m_preferences.setValue(weeklyNotifHour, hour);
    }

    bool refreshesAt(const QDateTime& moment, const QString& identifier)
    {
        m_center.clearLog();
        m_clock.set(moment);
        m_notifications.checkSummaryDue();
        return m_center.log().contains(u"add "_s + identifier);
    }

    QString weeklyBodyAt(const QDateTime& moment)
    {
        m_clock.set(moment);
        return m_notifications.weeklySummaryBody();
    }

    // Week boundaries and DST dates below hold only here, whatever the machine's settings.
    const ScopedTimeZone m_zone{"Europe/Berlin"};
    const DefaultLocale m_locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    FakeClock m_clock{at(sunday, 9, 0)};
    std::unique_ptr<RecordStore> m_store;
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_screenTime{m_tracker, m_preferences, m_clock.clock()};
    FakeNotificationCenter m_center;
    NotificationManager m_notifications{m_center, m_preferences, m_clock.clock()};
};

// --- When a scheduled summary is refreshed

TEST_F(NotificationManagerTest, refreshWindowIsTheLastMinuteBeforeDelivery)
{
    enableDaily(22);
    const struct {
        QTime time;
        bool refreshes;
    } cases[] = {
        {QTime(21, 58, 59), false}, {QTime(21, 59, 0), true},  {QTime(21, 59, 59), true},
        {QTime(22, 0, 0), false},   {QTime(22, 59, 0), false}, {QTime(20, 59, 30), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time.toString().toStdString());
        EXPECT_EQ(refreshesAt(QDateTime(sunday, c.time), dailyId), c.refreshes);
    }
}

TEST_F(NotificationManagerTest, midnightSummaryIsRefreshedInTheLastMinuteOfTheDayBefore)
{
    enableDaily(0);
    EXPECT_TRUE(refreshesAt(at(sunday, 23, 59, 30), dailyId));
    EXPECT_FALSE(refreshesAt(at(sunday, 0, 59), dailyId));
    EXPECT_FALSE(refreshesAt(at(sunday.addDays(1), 0, 0), dailyId));
}

TEST_F(NotificationManagerTest, sundayMidnightSummaryIsRefreshedOnSaturdayEvening)
{
    enableWeekly(1, 0);
    const QDate saturday = sunday.addDays(6);
    EXPECT_TRUE(refreshesAt(at(saturday, 23, 59), weeklyId));
    EXPECT_FALSE(refreshesAt(at(sunday, 23, 59), weeklyId));
    EXPECT_FALSE(refreshesAt(at(saturday, 22, 59), weeklyId));
}

TEST_F(NotificationManagerTest, weeklySummaryIsRefreshedOnlyOnItsWeekday)
{
    enableWeekly(4, 20);
    const QDate wednesday = sunday.addDays(3);
    EXPECT_TRUE(refreshesAt(at(wednesday, 19, 59), weeklyId));
    EXPECT_FALSE(refreshesAt(at(wednesday.addDays(-1), 19, 59), weeklyId));
    EXPECT_FALSE(refreshesAt(at(wednesday.addDays(1), 19, 59), weeklyId));
    EXPECT_FALSE(refreshesAt(at(wednesday, 19, 59), dailyId));
}

TEST_F(NotificationManagerTest, disabledSummaryIsNotRefreshedInItsWindow)
{
    m_preferences.setValue(dailyNotifHour, 22);
    m_preferences.setValue(weeklyNotifDay, 1);
    m_preferences.setValue(weeklyNotifHour, 22);
    EXPECT_FALSE(refreshesAt(at(sunday, 21, 59), dailyId));
    EXPECT_FALSE(refreshesAt(at(sunday, 21, 59), weeklyId));
}

TEST_F(NotificationManagerTest, everyTickInTheWindowReplacesTheRequestWithTheLatestTotal)
{
    enableDaily(22);
    m_clock.set(at(sunday, 21, 59, 0));
    setToday(hours(4), hours(4));
    m_notifications.checkSummaryDue();
    m_clock.set(at(sunday, 21, 59, 1));
    setToday(hours(4), hours(4) + 7 * 60);
    m_notifications.checkSummaryDue();

    EXPECT_EQ(m_center.pendingIdentifiers(), QStringList({dailyId}));
    EXPECT_EQ(m_center.pendingRequest(dailyId)->body, u"Today: 4h 07m"_s);
}

// --- What gets scheduled

TEST_F(NotificationManagerTest, summariesRepeatOnTheHourOfTheirDayAndWeekday)
{
    enableDaily(22);
    enableWeekly(2, 20);
    m_notifications.rescheduleSummaries();

    const auto daily = m_center.pendingRequest(dailyId);
    ASSERT_TRUE(daily);
    EXPECT_EQ(daily->title, u"Lumatick"_s);
    EXPECT_TRUE(daily->defaultSound);
    EXPECT_EQ(daily->trigger, (CalendarTrigger{std::nullopt, 22, 0, true}));

    const auto weekly = m_center.pendingRequest(weeklyId);
    ASSERT_TRUE(weekly);
    EXPECT_EQ(weekly->title, u"Lumatick"_s);
    EXPECT_EQ(weekly->trigger, (CalendarTrigger{2, 20, 0, true}));
    EXPECT_TRUE(m_center.delivered().isEmpty());
}

TEST_F(NotificationManagerTest, changedHourTakesEffectAtTheNextReschedule)
{
    enableDaily(22);
    m_notifications.rescheduleSummaries();
    m_preferences.setValue(dailyNotifHour, 7);
    m_notifications.rescheduleSummaries();

    EXPECT_EQ(m_center.pendingRequest(dailyId)->trigger->hour, 7);
}

TEST_F(NotificationManagerTest, disablingBothSummariesLeavesNothingPending)
{
    enableDaily(22);
    enableWeekly(1, 20);
    m_notifications.rescheduleSummaries();
    ASSERT_EQ(m_center.pendingIdentifiers().size(), 2);

    m_preferences.setValue(dailyNotifEnabled, false);
    m_preferences.setValue(weeklyNotifEnabled, false);
    m_notifications.rescheduleSummaries();
    EXPECT_TRUE(m_center.pendingIdentifiers().isEmpty());
}

TEST_F(NotificationManagerTest, withdrawingAtQuitLeavesNothingPending)
{
    enableDaily(22);
    enableWeekly(1, 20);
    m_notifications.rescheduleSummaries();
    m_notifications.withdrawSummaries();
    EXPECT_TRUE(m_center.pendingIdentifiers().isEmpty());
}

TEST_F(NotificationManagerTest, handEditedTimeOutOfRangeWithdrawsTheSummary)
{
    const struct {
        qint64 dailyHour;
        qint64 weekday;
        qint64 weeklyHour;
    } cases[] = {
        {24, 0, 20},
        {-1, 8, 20},
        {99, 1, 24},
        // Would wrap around to 22 and to 1, 20 if narrowed to int unchecked.
        {(qint64{1} << 32) + 22, (qint64{1} << 32) + 1, (qint64{1} << 32) + 20},
    };
    const LogCapture quiet;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dailyHour << ", " << c.weekday << ", " << c.weeklyHour);
        enableDaily(22);
        enableWeekly(1, 20);
        m_notifications.rescheduleSummaries();
        ASSERT_EQ(m_center.pendingIdentifiers().size(), 2);

        m_preferences.setValue(dailyNotifHour, c.dailyHour);
        m_preferences.setValue(weeklyNotifDay, c.weekday);
        m_preferences.setValue(weeklyNotifHour, c.weeklyHour);
        m_notifications.rescheduleSummaries();
        EXPECT_TRUE(m_center.pendingIdentifiers().isEmpty());
    }
}

TEST_F(NotificationManagerTest, failingCentreLosesTheSummariesUntilItRecovers)
{
    enableDaily(22);
    enableWeekly(1, 20);
    m_center.setFailing(true);
    m_notifications.rescheduleSummaries();
    m_clock.set(at(sunday, 21, 59));
    m_notifications.checkSummaryDue();
    EXPECT_TRUE(m_center.pendingIdentifiers().isEmpty());

    m_center.setFailing(false);
    m_notifications.rescheduleSummaries();
    EXPECT_EQ(m_center.pendingIdentifiers(), QStringList({dailyId, weeklyId}));
}

// --- The summary texts

TEST_F(NotificationManagerTest, dailyTextIsTheLiveTotalWithoutSeconds)
{
    setToday(0, hours(4) + 7 * 60 + 59);
    EXPECT_EQ(m_notifications.dailySummaryBody(), u"Today: 4h 07m"_s);
    setToday(0, 37 * 60);
    EXPECT_EQ(m_notifications.dailySummaryBody(), u"Today: 37m"_s);
}

TEST_F(NotificationManagerTest, dailyTextCountsZeroOnceTheScreenTimeManagerIsGone)
{
    auto manager = std::make_unique<ScreenTimeManager>(m_tracker, m_preferences, m_clock.clock());
    manager->setModelContext(m_store.get());
    store(sunday, hours(2));
    manager->loadTodayTotal();
    m_notifications.setScreenTimeManager(manager.get());
    ASSERT_EQ(m_notifications.dailySummaryBody(), u"Today: 2h 00m"_s);

    manager.reset();
    EXPECT_EQ(m_notifications.dailySummaryBody(), u"Today: 0m"_s);
    EXPECT_EQ(m_notifications.weeklySummaryBody(), u"This week avg: 2h 00m/day · Last week avg: no data"_s);
}

TEST_F(NotificationManagerTest, weeklyTextWithoutStoreIsZero)
{
    NotificationManager notifications(m_center, m_preferences, m_clock.clock());
    notifications.setScreenTimeManager(&m_screenTime);
    setToday(hours(2), hours(3));
    EXPECT_EQ(notifications.weeklySummaryBody(), u"This week avg: 0m/day"_s);
}

TEST_F(NotificationManagerTest, firstDayOfTheWeekAddsOnlyTheUnsavedPartOfToday)
{
    setToday(hours(2), hours(3));
    EXPECT_EQ(m_notifications.weeklySummaryBody(), u"This week avg: 3h 00m/day · Last week avg: no data"_s);
}

TEST_F(NotificationManagerTest, liveTotalBehindTheStoredOneAddsNothing)
{
    setToday(hours(3), hours(2));
    EXPECT_EQ(m_notifications.weeklySummaryBody(), u"This week avg: 3h 00m/day · Last week avg: no data"_s);
}

TEST_F(NotificationManagerTest, lastWeekIsAveragedOverAllSevenDays)
{
    store(sunday.addDays(-4), hours(7));
    EXPECT_EQ(m_notifications.weeklySummaryBody(), u"This week avg: 0m/day · Last week avg: 1h 00m/day"_s);
}

TEST_F(NotificationManagerTest, weeksAreCutAtTheirFirstMidnights)
{
    const QDate wednesday = sunday.addDays(3);
    store(sunday.addDays(-8), hours(70)); // last day of the week before
    store(sunday.addDays(-7), hours(7));  // first day of last week
    store(sunday.addDays(-1), hours(7));  // last day of last week
    store(sunday, hours(4));
    store(wednesday.addDays(1), hours(100)); // tomorrow
    m_clock.set(at(wednesday, 18, 0));
    setToday(hours(4), hours(4));

    // This week: (4 h + 4 h) over Sunday to Wednesday; last week: 14 h over seven days.
    EXPECT_EQ(m_notifications.weeklySummaryBody(),
              u"This week avg: 2h 00m/day · Last week avg: 2h 00m/day"_s);
}

TEST_F(NotificationManagerTest, weekStartsOnTheLocalesFirstDay)
{
    const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().firstDayOfWeek(), Qt::Monday);
    store(sunday.addDays(-6), hours(7));  // Monday
    store(sunday.addDays(-7), hours(14)); // the Sunday before, last week's last day there

    EXPECT_EQ(m_notifications.weeklySummaryBody(),
              u"This week avg: 1h 00m/day · Last week avg: 2h 00m/day"_s);
}

TEST_F(NotificationManagerTest, weeksAcrossDaylightSavingChangesAreCountedInCalendarDays)
{
    // In Berlin summer time starts on 29 March and ends on 25 October 2026, both Sundays, so
    // those weeks last 167 and 169 hours.
    const struct {
        QDate changeDay;
        int daysUntilToday;
        qint64 storedOnChangeDay;
        QString body;
    } cases[] = {
        // Wednesday of the short week is still its fourth day.
        {QDate(2026, 3, 29), 3, hours(8), u"This week avg: 2h 00m/day · Last week avg: no data"_s},
        // A week after the long week began, that week still starts at its first midnight.
        {QDate(2026, 10, 25), 7, hours(7), u"This week avg: 0m/day · Last week avg: 1h 00m/day"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.changeDay.toString(Qt::ISODate).toStdString());
        ASSERT_EQ(c.changeDay.dayOfWeek(), Qt::Sunday);
        store(c.changeDay, c.storedOnChangeDay);
        EXPECT_EQ(weeklyBodyAt(at(c.changeDay.addDays(c.daysUntilToday), 9, 0)), c.body);
    }
}

} // namespace
