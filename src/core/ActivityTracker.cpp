#include "ActivityTracker.h"

#include "IdleTimeSource.h"

#include <limits>

ActivityTracker::ActivityTracker(Clock clock, QObject* parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_lastActivityTimestamp(m_clock())
    , m_lastClockReading(m_lastActivityTimestamp)
{}

bool ActivityTracker::isUserActive()
{
    if (m_isScreenAsleep || m_isScreenLocked)
        return false;
    const QDateTime now = readClock();
    // Without an idle timeout no input time can change the answer, so the desktop is not
    // asked: that query is most of what an idle second costs. The source reports time since
    // the last input, so a timeout switched on later still sees the right moment.
    if (m_idleThreshold < std::numeric_limits<double>::max())
        catchUpWithIdleTimeSource(now);
    const double secondsSinceInput = static_cast<double>(m_lastActivityTimestamp.msecsTo(now)) / 1000.0;
    return secondsSinceInput < m_idleThreshold;
}

// The desktop reports idle time rather than individual events; input `idle` seconds ago is
// the same as an event recorded then. An earlier wake or unlock is never overwritten.
void ActivityTracker::catchUpWithIdleTimeSource(const QDateTime& now)
{
    if (!m_idleTimeSource)
        return;
    const std::optional<double> idleSeconds = m_idleTimeSource->secondsSinceLastInput();
    if (!idleSeconds || *idleSeconds < 0)
        return;
    const QDateTime lastInput = now.addMSecs(-static_cast<qint64>(*idleSeconds * 1000.0));
    if (lastInput > m_lastActivityTimestamp)
        setLastActivityTimestamp(lastInput);
}

void ActivityTracker::recordActivity()
{
    setLastActivityTimestamp(readClock());
}

// A clock set back takes the last input back with it, so the time since the input stays what
// it was. Left where it was, the input would lie in the future and keep the user present for
// the whole jump plus the timeout, whatever they do.
QDateTime ActivityTracker::readClock()
{
    const QDateTime now = m_clock();
    if (now < m_lastClockReading)
        setLastActivityTimestamp(m_lastActivityTimestamp.addMSecs(m_lastClockReading.msecsTo(now)));
    m_lastClockReading = now;
    return now;
}

void ActivityTracker::setIdleThreshold(double seconds)
{
    if (seconds == m_idleThreshold)
        return;
    m_idleThreshold = seconds;
    Q_EMIT idleThresholdChanged(seconds);
}

void ActivityTracker::machineWillSleep()
{
    setScreenAsleep(true);
}

void ActivityTracker::machineDidWake()
{
    setScreenAsleep(false);
    recordActivity();
}

void ActivityTracker::screensDidSleep()
{
    setScreenAsleep(true);
}

void ActivityTracker::screensDidWake()
{
    setScreenAsleep(false);
    recordActivity();
}

void ActivityTracker::screenLocked()
{
    setScreenLocked(true);
}

void ActivityTracker::screenUnlocked()
{
    setScreenLocked(false);
    recordActivity();
}

void ActivityTracker::setLastActivityTimestamp(const QDateTime& timestamp)
{
    if (timestamp == m_lastActivityTimestamp)
        return;
    m_lastActivityTimestamp = timestamp;
    Q_EMIT lastActivityTimestampChanged(timestamp);
}

void ActivityTracker::setScreenAsleep(bool asleep)
{
    if (asleep == m_isScreenAsleep)
        return;
    m_isScreenAsleep = asleep;
    Q_EMIT isScreenAsleepChanged(asleep);
}

void ActivityTracker::setScreenLocked(bool locked)
{
    if (locked == m_isScreenLocked)
        return;
    m_isScreenLocked = locked;
    Q_EMIT isScreenLockedChanged(locked);
}
