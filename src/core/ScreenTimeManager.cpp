#include "ScreenTimeManager.h"

#include "ActivityTracker.h"
#include "IdleTimeout.h"
#include "LocalDay.h"
#include "Preferences.h"
#include "RecordStore.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
QDate localDate(const QDateTime& moment)
{
    return moment.toLocalTime().date();
}
} // namespace

ScreenTimeManager::ScreenTimeManager(ActivityTracker& tracker, const Preferences& preferences, Clock clock,
                                     QObject* parent)
    : QObject(parent)
    , m_tracker(tracker)
    , m_preferences(preferences)
    , m_clock(std::move(clock))
    , m_lastTrackedDate(m_clock())
    , m_lastTrackedDay(localDate(m_lastTrackedDate))
    , m_lastTickMSecs(m_lastTrackedDate.toMSecsSinceEpoch())
{
    rememberTrackedDayBounds();
    // A sleep or a lock ends the stretch even when it is over before the next tick.
    connect(&m_tracker, &ActivityTracker::isScreenAsleepChanged, this,
            &ScreenTimeManager::endStretchWhenAway);
    connect(&m_tracker, &ActivityTracker::isScreenLockedChanged, this,
            &ScreenTimeManager::endStretchWhenAway);
}

void ScreenTimeManager::loadTodayTotal()
{
    if (!m_modelContext)
        return;
    if (const auto record = m_modelContext->fetchRecord(startOfLocalDay(m_clock())))
        setAccumulatedSeconds(record->totalSeconds());
}

// Until the first tick of a new day has rolled over, the total is still the finished day's: a
// quit or a sleep in that second must not file it under the new day.
void ScreenTimeManager::saveToday()
{
    saveTrackedDay();
}

void ScreenTimeManager::saveTrackedDay()
{
    if (m_modelContext)
        m_modelContext->saveDayTotal(startOfLocalDay(m_lastTrackedDate), m_accumulatedSeconds);
}

void ScreenTimeManager::start()
{
    if (m_timer)
        return;
    m_lastTickMSecs = m_clock().toMSecsSinceEpoch();
    // A coarse timer lets the system batch our one wake-up a second with others; the
    // fractional accumulator absorbs the jitter.
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::CoarseTimer);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &ScreenTimeManager::tick);
    m_timer->start();
}

void ScreenTimeManager::tick()
{
    // Elapsed time is measured in UTC; only the day test needs local time, once per tick.
    const QDateTime now = m_clock();
    const qint64 nowMSecs = now.toMSecsSinceEpoch();
    double elapsed = static_cast<double>(nowMSecs - m_lastTickMSecs) / 1000.0;
    m_lastTickMSecs = nowMSecs;

    // A new day starts clean: a clock set back into an earlier day is not charged to it, or
    // that day would count nothing until the whole jump was made up.
    if (!isInTrackedDay(nowMSecs)) {
        if (localDate(now) != m_lastTrackedDay) {
            rollOverToNewDay(now);
            elapsed = std::max(elapsed, 0.0);
        } else {
            rememberTrackedDayBounds();
        }
    }

    // Read every tick, so a changed timeout applies at once, whoever else looks at the tracker.
    m_tracker.setIdleThreshold(idleThresholdSeconds(m_preferences));
    const bool counting = !m_isPaused && m_tracker.isUserActive();
    if (counting) {
        credit(elapsed);
        checkBreakReminder();
    } else {
        m_continuousActiveSeconds = 0;
    }
    setCounting(counting);

    if (++m_ticksSinceLastSave >= ticksBetweenSaves) {
        m_ticksSinceLastSave = 0;
        saveToday();
    }

    if (m_onTick)
        m_onTick();
}

void ScreenTimeManager::timeZoneChanged()
{
    m_trackedDayStartMSecs = m_trackedDayEndMSecs = 0;
    tick();
}

// The finished day is saved under its own date before the new day starts from zero. A new day
// can only have a record already when the clock was moved (set back a day, then corrected);
// its total then continues instead of being overwritten by a count from zero.
void ScreenTimeManager::rollOverToNewDay(const QDateTime& now)
{
    saveTrackedDay();
    setAccumulatedSeconds(0);
    m_fractionalAccumulator = 0.0;
    setLastTrackedDate(now);
    loadTodayTotal();
    if (m_onMidnightReset)
        m_onMidnightReset();
}

// At most three seconds per tick, so a blocked main thread or a sleep without a wake notice
// cannot invent time. No lower bound: a clock set back is paid for by the accumulator.
void ScreenTimeManager::credit(double elapsedSeconds)
{
    m_fractionalAccumulator += std::min(elapsedSeconds, maximumCreditPerTick);
    const auto whole = static_cast<qint64>(std::trunc(m_fractionalAccumulator));
    if (whole < 1)
        return;
    m_continuousActiveSeconds += whole;
    m_fractionalAccumulator -= static_cast<double>(whole);
    setAccumulatedSeconds(m_accumulatedSeconds + whole);
}

void ScreenTimeManager::resumeAfterWake()
{
    const QDateTime now = m_clock();
    m_lastTickMSecs = now.toMSecsSinceEpoch();
    m_fractionalAccumulator = 0.0;
    if (localDate(now) == m_lastTrackedDay)
        return;
    saveTrackedDay();
    setAccumulatedSeconds(0);
    setLastTrackedDate(now);
    loadTodayTotal();
}

void ScreenTimeManager::checkBreakReminder()
{
    if (!m_preferences.value(PreferenceKeys::breakReminderEnabled))
        return;
    const qint64 minutes = m_preferences.value(PreferenceKeys::breakReminderMinutes);
    if (minutes < 1)
        return;
    // Compared in minutes so that an absurd hand-edited value cannot overflow.
    if (m_continuousActiveSeconds / 60 >= minutes) {
        sendBreakReminder(minutes);
        m_continuousActiveSeconds = 0;
    }
}

void ScreenTimeManager::sendBreakReminder(qint64 minutes)
{
    Q_EMIT breakReminderDue(minutes);
}

void ScreenTimeManager::setPaused(bool paused)
{
    if (paused == m_isPaused)
        return;
    m_isPaused = paused;
    if (paused)
        setCounting(false);
    Q_EMIT isPausedChanged(paused);
}

void ScreenTimeManager::setCounting(bool counting)
{
    if (counting == m_isCounting)
        return;
    m_isCounting = counting;
    Q_EMIT isCountingChanged(counting);
}

void ScreenTimeManager::endStretchWhenAway(bool away)
{
    if (away)
        m_continuousActiveSeconds = 0;
}

void ScreenTimeManager::setLastTrackedDate(const QDateTime& moment)
{
    m_lastTrackedDate = moment;
    m_lastTrackedDay = localDate(moment);
    rememberTrackedDayBounds();
}

// A day without a midnight (DST at 0:00) starts at its first valid moment.
void ScreenTimeManager::rememberTrackedDayBounds()
{
    m_trackedDayStartMSecs = m_lastTrackedDay.startOfDay().toMSecsSinceEpoch();
    m_trackedDayEndMSecs = m_lastTrackedDay.addDays(1).startOfDay().toMSecsSinceEpoch();
}

bool ScreenTimeManager::isInTrackedDay(qint64 msecsSinceEpoch) const
{
    return msecsSinceEpoch >= m_trackedDayStartMSecs && msecsSinceEpoch < m_trackedDayEndMSecs;
}

QDateTime ScreenTimeManager::lastTickTimestamp() const
{
    return QDateTime::fromMSecsSinceEpoch(m_lastTickMSecs);
}

void ScreenTimeManager::setAccumulatedSeconds(qint64 seconds)
{
    if (seconds == m_accumulatedSeconds)
        return;
    m_accumulatedSeconds = seconds;
    Q_EMIT accumulatedSecondsChanged(seconds);
}
