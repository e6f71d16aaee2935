#pragma once

#include "Clock.h"

#include <QDateTime>
#include <QObject>

class Preferences;
class ScreenTimeManager;

// A pause that ends by itself: after a given time or at the next local midnight. The end is
// kept in the preferences, so the pause outlives a restart; the manager's pause flag stays the
// one truth of whether time counts, and any resume, however it came, ends the timed pause.
class PauseTimer : public QObject {
    Q_OBJECT
public:
    // The longest timed pause a script may ask for: a week.
    static constexpr qint64 longestPause = 7 * 24 * 3600;

    PauseTimer(ScreenTimeManager& manager, Preferences& preferences, Clock clock, QObject* parent = nullptr);

    // At start-up: a stored end still ahead pauses again; one already past is forgotten.
    void restore();
    void pauseFor(qint64 seconds);
    void pauseUntilTomorrow();
    // Keeps the manager paused but without an end: what a plain pause asks for.
    void cancel();
    // Called on every tick: an end reached (or slept through) resumes counting.
    void expireIfDue();

    bool isRunning() const { return m_end.isValid(); }
    // Whole seconds to the end, rounded up, so the last second still shows; 0 when not running.
    qint64 secondsLeft() const;

Q_SIGNALS:
    // The end was reached and counting resumed.
    void expired();

private:
    void pauseUntil(const QDateTime& end);
    void forget();

    ScreenTimeManager& m_manager;
    Preferences& m_preferences;
    Clock m_clock;
    QDateTime m_end;
};
