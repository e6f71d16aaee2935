#include "PauseTimer.h"

#include "Preferences.h"
#include "ScreenTimeManager.h"

PauseTimer::PauseTimer(ScreenTimeManager& manager, Preferences& preferences, Clock clock, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
    , m_preferences(preferences)
    , m_clock(std::move(clock))
{
    connect(&m_manager, &ScreenTimeManager::isPausedChanged, this, [this](bool paused) {
        if (!paused)
            forget();
    });
}

void PauseTimer::restore()
{
    const qint64 stored = m_preferences.value(PreferenceKeys::pauseEndsAt);
    if (stored == 0)
        return;
    const QDateTime end = QDateTime::fromSecsSinceEpoch(stored);
    const QDateTime now = m_clock();
    // An end further ahead than any pause can last was not written by us: no endless pause.
    if (end > now && end <= now.addSecs(longestPause))
        pauseUntil(end);
    else
        forget();
}

void PauseTimer::pauseFor(qint64 seconds)
{
    pauseUntil(m_clock().addSecs(seconds));
}

// The next local day's start, which Qt moves past a skipped midnight to the day's first instant.
void PauseTimer::pauseUntilTomorrow()
{
    pauseUntil(m_clock().toLocalTime().date().addDays(1).startOfDay().toUTC());
}

void PauseTimer::cancel()
{
    forget();
}

// The wall clock decides, not a count of ticks: a machine asleep past the end resumes at its
// first tick after waking.
void PauseTimer::expireIfDue()
{
    if (!isRunning() || m_clock() < m_end)
        return;
    forget();
    m_manager.setPaused(false);
    Q_EMIT expired();
}

qint64 PauseTimer::secondsLeft() const
{
    if (!isRunning())
        return 0;
    const qint64 msecs = m_clock().msecsTo(m_end);
    return msecs > 0 ? (msecs + 999) / 1000 : 0;
}

// Stored in whole seconds, rounded up, so a restart never ends the pause early.
void PauseTimer::pauseUntil(const QDateTime& end)
{
    m_end = end;
    m_preferences.setValue(PreferenceKeys::pauseEndsAt, (end.toMSecsSinceEpoch() + 999) / 1000);
    m_manager.setPaused(true);
}

void PauseTimer::forget()
{
    if (!m_end.isValid() && m_preferences.value(PreferenceKeys::pauseEndsAt) == 0)
        return;
    m_end = QDateTime();
    m_preferences.remove(QString::fromLatin1(PreferenceKeys::pauseEndsAt.name));
}
