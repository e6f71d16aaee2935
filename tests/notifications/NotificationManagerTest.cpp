#include "NotificationManager.h"
#include "BreakReminder.h"

#include "FakeNotificationCenter.h"
#include "LocalDay.h"
#include "StoreFixture.h"

#include <QLocale>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

const QString dailyId = u"com.lumatick.daily"_s;
const QString weeklyId = u"com.lumatick.weekly"_s;
// 1 March 2026 is a Sunday, the first day of the week in the United States.
const QDate sunday(2026, 3, 1);

class NotificationManagerTest : public TrackingFixture {
protected:
    NotificationManagerTest()
        : TrackingFixture(QDateTime(sunday, QTime(9, 0)))
    {
        m_notifications.setModelContext(m_store.get());
        m_notifications.setScreenTimeManager(&m_manager);
    }
    ~NotificationManagerTest() override { QLocale::setDefault(QLocale::system()); }

    // The live count runs ahead of the stored total by the ticks since the last save.
    void setToday(qint64 storedSeconds, qint64 liveSeconds)
    {
        m_store->saveDayTotal(startOfLocalDay(m_clock.now()), liveSeconds);
        m_manager.loadTodayTotal();
        m_store->saveDayTotal(startOfLocalDay(m_clock.now()), storedSeconds);
    }

    void schedule(bool daily, qint64 dailyHour, bool weekly, qint64 weekday, qint64 weeklyHour)
    {
        m_preferences.setValue(dailyNotifEnabled, daily);
        m_preferences.setValue(dailyNotifHour, dailyHour);
        m_preferences.setValue(weeklyNotifEnabled, weekly);
        m_preferences.setValue(weeklyNotifDay, weekday);
        m_preferences.setValue(weeklyNotifHour, weeklyHour);
    }

    FakeNotificationCenter m_center;
    NotificationManager m_notifications{m_center, m_preferences, m_clock.clock()};
};

// A scheduled summary carries the figures it was scheduled with, so it is rebuilt in the
// minute before its delivery, and only then.
TEST_F(NotificationManagerTest, summaryIsRefreshedInTheLastMinuteBeforeItsDelivery)
{
    const struct {
        bool daily;
        qint64 hour, weekday;
        QDate day;
        QTime time;
        bool refreshes;
    } cases[] = {
        {true, 22, 0, sunday, {21, 58, 59}, false},        {true, 22, 0, sunday, {21, 59, 0}, true},
        {true, 22, 0, sunday, {21, 59, 59}, true},         {true, 22, 0, sunday, {22, 0, 0}, false},
        {true, 0, 0, sunday, {23, 59, 30}, true},          {true, 0, 0, sunday, {0, 59}, false},
        {false, 0, 1, sunday.addDays(6), {23, 59}, true},  {false, 0, 1, sunday, {23, 59}, false},
        {false, 20, 4, sunday.addDays(3), {19, 59}, true}, {false, 20, 4, sunday.addDays(4), {19, 59}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QDateTime(c.day, c.time).toString(Qt::ISODate).toStdString());
        for (const bool enabled : {true, false}) {
            schedule(c.daily && enabled, c.hour, !c.daily && enabled, c.weekday, c.hour);
            m_center.clearLog();
            m_clock.set(QDateTime(c.day, c.time));
            m_notifications.checkSummaryDue();
            EXPECT_EQ(m_center.log().filter(u"add "_s),
                      c.refreshes && enabled ? QStringList{u"add "_s + (c.daily ? dailyId : weeklyId)}
                                             : QStringList{});
        }
    }
}

// Weeks start on the locale's first day at its first midnight and are stepped in calendar
// days across DST; today adds only what is not saved yet; a past week counts all seven days.
TEST_F(NotificationManagerTest, weeklyTextAveragesThisWeekSoFarAndAllOfLastWeek)
{
    const struct {
        int today; // days after Sunday 1 March 2026
        qint64 storedToday, liveToday;
        bool mondayFirst;
        QString thisWeek, lastWeek;
        QList<std::pair<int, qint64>> storedHours;
    } cases[] = {
        {0, 2, 3, false, u"3h 00m"_s, u"no data"_s, {}},
        {0, 0, 0, false, u"0m"_s, u"1h 00m/day"_s, {{-4, 7}}},
        {3, 4, 4, false, u"2h 00m"_s, u"2h 00m/day"_s, {{-8, 70}, {-7, 7}, {-1, 7}, {0, 4}, {4, 100}}},
        {0, 0, 0, true, u"1h 00m"_s, u"2h 00m/day"_s, {{-6, 7}, {-7, 14}}},
        // Berlin's summer time starts on Sunday 29 March 2026: that week has 167 hours.
        {31, 0, 0, false, u"2h 00m"_s, u"no data"_s, {{28, 8}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.today);
        executeElsewhere(u"DELETE FROM DailyScreenTime"_s);
        QLocale::setDefault(c.mondayFirst ? QLocale(QLocale::German, QLocale::Germany)
                                          : QLocale(QLocale::English, QLocale::UnitedStates));
        for (const auto& [day, hours] : c.storedHours)
            m_store->saveDayTotal(sunday.addDays(day).startOfDay(), hours * 3600);
        m_clock.set(QDateTime(sunday.addDays(c.today), QTime(9, 0)));
        setToday(c.storedToday * 3600, c.liveToday * 3600);
        EXPECT_EQ(m_notifications.weeklySummaryBody(),
                  u"This week avg: %1/day · Last week avg: %2"_s.arg(c.thisWeek, c.lastWeek));
    }
}

// The text names the configured stretch, in minutes below an hour and in hours with the rest
// in minutes from there on.
TEST(BreakReminderTest, bodyNamesTheConfiguredStretch)
{
    const struct {
        qint64 minutes;
        QString wording;
    } cases[] = {
        {1, u"1 minute"_s},  {45, u"45 minutes"_s},     {59, u"59 minutes"_s},
        {60, u"1 hour"_s},   {61, u"1 hour 1 min"_s},   {119, u"1 hour 59 min"_s},
        {120, u"2 hours"_s}, {125, u"2 hours 5 min"_s}, {60'001, u"1000 hours 1 min"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minutes);
        EXPECT_EQ(breakReminderBody(c.minutes),
                  u"You’ve been at your screen for "_s + c.wording + u" straight — take a break."_s);
    }
}

} // namespace
