#pragma once

#include "Clock.h"
#include "NotificationRequest.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <limits>

class NotificationCenter;
class Preferences;
class RecordStore;
class ScreenTimeManager;

// Keeps the daily and weekly summary notifications scheduled as the preferences ask. A
// scheduled notification carries the text it had when it was scheduled, so in the last minute
// before each delivery the request is re-created with up-to-date figures. Preferences are
// read at every call, so a change takes effect at the next reschedule or tick.
class NotificationManager : public QObject {
    Q_OBJECT
public:
    NotificationManager(NotificationCenter& center, const Preferences& preferences, Clock clock,
                        QObject* parent = nullptr);

    // Without a store the weekly summary reads as no time at all.
    void setModelContext(RecordStore* store) { m_store = store; }
    // Not owned; when the manager goes away the summaries count today as 0.
    void setScreenTimeManager(ScreenTimeManager* manager);

    void rescheduleSummaries();
    // Called every tick: refreshes a summary whose delivery is less than a minute away.
    void checkSummaryDue();
    // At quit: nothing scheduled outlives the program.
    void withdrawSummaries();

    QString dailySummaryBody() const;
    QString weeklySummaryBody() const;

    // `weekday` in Gregorian numbering, 1 = Sunday ... 7 = Saturday. A weekday or hour out of
    // range withdraws that summary instead of scheduling it.
    void scheduleDaily(int hour, const QString& body);
    void scheduleWeekly(int weekday, int hour, const QString& body);

private:
    void rescheduleDaily();
    void rescheduleWeekly();
    void addSummaryRequest(const QString& identifier, const QString& body, const CalendarTrigger& trigger);
    qint64 liveSecondsToday() const;
    qint64 thisWeekAverage(const QDateTime& weekStart, const QDateTime& today) const;
    QString lastWeekAverageText(const QDateTime& lastWeekStart, const QDateTime& weekStart) const;

    NotificationCenter& m_center;
    const Preferences& m_preferences;
    Clock m_clock;
    RecordStore* m_store = nullptr;
    QPointer<ScreenTimeManager> m_screenTimeManager;
    static constexpr qint64 noMinute = std::numeric_limits<qint64>::min();
    qint64 m_minuteWithNothingDue = noMinute;
};
