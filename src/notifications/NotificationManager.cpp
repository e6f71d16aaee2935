#include "NotificationManager.h"
#include "NotificationCenter.h"

#include "FormatDuration.h"
#include "LocalDay.h"
#include "Logging.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;
using Comparison = RecordQuery::Comparison;

namespace {

// Preferences can be edited by hand and then hold any number. An hour or weekday out of range
// withdraws that summary instead of being clamped into range: a clamped value would deliver
// at a time the user never chose, while a missing summary is noticed and fixed in Settings.
bool isHour(qint64 value)
{
    return value >= 0 && value <= 23;
}

bool isWeekday(qint64 value)
{
    return value >= 1 && value <= 7;
}

// Narrows a stored number without letting a huge value wrap around into the valid range.
int preferenceNumber(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, -1, 100));
}

// Qt counts 1 = Monday ... 7 = Sunday; the triggers count 1 = Sunday ... 7 = Saturday.
int gregorianWeekday(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

// The last minute before `hour` o'clock (on `weekday`, when given) in local wall-clock time,
// the same reckoning the calendar trigger uses.
bool isLastMinuteBefore(const QDateTime& now, qint64 hour, std::optional<qint64> weekday)
{
    const QTime time = now.time();
    if (time.minute() != 59)
        return false;
    const bool beforeMidnight = time.hour() == 23;
    const int nextHour = beforeMidnight ? 0 : time.hour() + 1;
    const int today = gregorianWeekday(now.date());
    const int nextWeekday = beforeMidnight ? today % 7 + 1 : today;
    return nextHour == hour && (!weekday || *weekday == nextWeekday);
}

QDate startOfWeek(const QDate& day)
{
    const int firstDay = static_cast<int>(QLocale().firstDayOfWeek());
    return day.addDays(-((day.dayOfWeek() - firstDay + 7) % 7));
}

qint64 sumOfTotals(const QList<DailyScreenTime>& records)
{
    return std::accumulate(
        records.cbegin(), records.cend(), qint64{0},
        [](qint64 sum, const DailyScreenTime& record) { return sum + record.totalSeconds(); });
}

qint64 storedTotalOf(const QList<DailyScreenTime>& records, const QDateTime& day)
{
    const auto found = std::find_if(records.cbegin(), records.cend(), [&day](const DailyScreenTime& record) {
        return startOfLocalDay(record.date()) == day;
    });
    return found == records.cend() ? 0 : found->totalSeconds();
}

} // namespace

NotificationManager::NotificationManager(NotificationCenter& center, const Preferences& preferences,
                                         Clock clock, QObject* parent)
    : QObject(parent)
    , m_center(center)
    , m_preferences(preferences)
    , m_clock(std::move(clock))
{
    // A changed hour or day may fall due in the current minute after all.
    connect(&m_preferences, &Preferences::changed, this, [this] { m_minuteWithNothingDue = noMinute; });
}

void NotificationManager::setScreenTimeManager(ScreenTimeManager* manager)
{
    m_screenTimeManager = manager;
}

void NotificationManager::rescheduleSummaries()
{
    // The zone may have changed: the current minute may fall due after all.
    m_minuteWithNothingDue = noMinute;
    if (m_preferences.value(dailyNotifEnabled))
        rescheduleDaily();
    else
        m_center.removePending(NotificationIdentifiers::dailySummary);
    if (m_preferences.value(weeklyNotifEnabled))
        rescheduleWeekly();
    else
        m_center.removePending(NotificationIdentifiers::weeklySummary);
}

// Zones differ from UTC by whole minutes, so a minute in which nothing fell due is not looked
// at again: local time, which reads the zone file, is taken once a minute, not each second.
void NotificationManager::checkSummaryDue()
{
    const QDateTime utc = m_clock();
    const qint64 minute = utc.toMSecsSinceEpoch() / 60'000;
    if (minute == m_minuteWithNothingDue)
        return;
    const QDateTime now = utc.toLocalTime();
    bool due = false;
    if (m_preferences.value(dailyNotifEnabled) &&
        isLastMinuteBefore(now, m_preferences.value(dailyNotifHour), std::nullopt)) {
        rescheduleDaily();
        due = true;
    }
    if (m_preferences.value(weeklyNotifEnabled) &&
        isLastMinuteBefore(now, m_preferences.value(weeklyNotifHour), m_preferences.value(weeklyNotifDay))) {
        rescheduleWeekly();
        due = true;
    }
    m_minuteWithNothingDue = due ? noMinute : minute;
}

void NotificationManager::withdrawSummaries()
{
    m_center.removePending(NotificationIdentifiers::dailySummary);
    m_center.removePending(NotificationIdentifiers::weeklySummary);
}

QString NotificationManager::dailySummaryBody() const
{
    return u"Today: "_s + formatDuration(liveSecondsToday(), false);
}

QString NotificationManager::weeklySummaryBody() const
{
    if (!m_store)
        return u"This week avg: 0m/day"_s;
    const QDateTime today = startOfLocalDay(m_clock());
    const QDate weekStartDay = startOfWeek(today.date());
    // Weeks are stepped in calendar days, not seconds: a DST change makes one of them 167 or
    // 169 hours long.
    const QDateTime weekStart = weekStartDay.startOfDay();
    const QDateTime lastWeekStart = weekStartDay.addDays(-7).startOfDay();
    return u"This week avg: %1/day \u00B7 Last week avg: %2"_s.arg(
        formatDuration(thisWeekAverage(weekStart, today), false),
        lastWeekAverageText(lastWeekStart, weekStart));
}

void NotificationManager::scheduleDaily(int hour, const QString& body)
{
    if (!isHour(hour)) {
        qCWarning(lcScreenTime) << "daily summary withdrawn: hour out of range:" << hour;
        m_center.removePending(NotificationIdentifiers::dailySummary);
        return;
    }
    addSummaryRequest(NotificationIdentifiers::dailySummary, body,
                      CalendarTrigger{std::nullopt, hour, 0, true});
}

void NotificationManager::scheduleWeekly(int weekday, int hour, const QString& body)
{
    if (!isWeekday(weekday) || !isHour(hour)) {
        qCWarning(lcScreenTime) << "weekly summary withdrawn: weekday or hour out of range:" << weekday
                                << hour;
        m_center.removePending(NotificationIdentifiers::weeklySummary);
        return;
    }
    addSummaryRequest(NotificationIdentifiers::weeklySummary, body, CalendarTrigger{weekday, hour, 0, true});
}

void NotificationManager::rescheduleDaily()
{
    scheduleDaily(preferenceNumber(m_preferences.value(dailyNotifHour)), dailySummaryBody());
}

void NotificationManager::rescheduleWeekly()
{
    scheduleWeekly(preferenceNumber(m_preferences.value(weeklyNotifDay)),
                   preferenceNumber(m_preferences.value(weeklyNotifHour)), weeklySummaryBody());
}

void NotificationManager::addSummaryRequest(const QString& identifier, const QString& body,
                                            const CalendarTrigger& trigger)
{
    const NotificationRequest request{identifier, notificationTitle, body, true, trigger};
    // Replacement by identifier is the service's promise; removing first keeps a service that
    // breaks it from showing yesterday's text beside today's.
    m_center.removePending(identifier);
    // A summary that cannot be scheduled now gets its next chance at the next reschedule.
    m_center.add(request);
}

qint64 NotificationManager::liveSecondsToday() const
{
    return m_screenTimeManager ? m_screenTimeManager->accumulatedSeconds() : 0;
}

qint64 NotificationManager::thisWeekAverage(const QDateTime& weekStart, const QDateTime& today) const
{
    const QList<DailyScreenTime> records = m_store->fetch(
        RecordQuery().where(Comparison::GreaterOrEqual, weekStart).where(Comparison::LessOrEqual, today));
    // Today's record lags the live count by up to a minute of unsaved ticks; only the part
    // not yet saved is added, so today is never counted twice.
    const qint64 unsavedToday = std::max<qint64>(liveSecondsToday() - storedTotalOf(records, today), 0);
    const qint64 days = weekStart.date().daysTo(today.date());
    return (sumOfTotals(records) + unsavedToday) / std::max<qint64>(days + 1, 1);
}

QString NotificationManager::lastWeekAverageText(const QDateTime& lastWeekStart,
                                                 const QDateTime& weekStart) const
{
    const QList<DailyScreenTime> records = m_store->fetch(
        RecordQuery().where(Comparison::GreaterOrEqual, lastWeekStart).where(Comparison::Less, weekStart));
    if (records.isEmpty())
        return u"no data"_s;
    // A past week is complete, so days without a record count as days without screen time.
    return formatDuration(sumOfTotals(records) / 7, false) + u"/day"_s;
}
