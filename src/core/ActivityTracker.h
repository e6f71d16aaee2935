#pragma once

#include "Clock.h"

#include <QDateTime>
#include <QObject>

class IdleTimeSource;

// Answers whether the user is at the machine right now: display awake, screen unlocked and
// the last input more recent than the idle threshold. It keeps a few flags and does no timing
// of its own; the idle test is made when it is asked.
class ActivityTracker : public QObject {
    Q_OBJECT
    Q_PROPERTY(QDateTime lastActivityTimestamp READ lastActivityTimestamp NOTIFY lastActivityTimestampChanged)
    Q_PROPERTY(double idleThreshold READ idleThreshold WRITE setIdleThreshold NOTIFY idleThresholdChanged)
    Q_PROPERTY(bool isScreenAsleep READ isScreenAsleep NOTIFY isScreenAsleepChanged)
    Q_PROPERTY(bool isScreenLocked READ isScreenLocked NOTIFY isScreenLockedChanged)
public:
    static constexpr double defaultIdleThreshold = 300.0;

    explicit ActivityTracker(Clock clock, QObject* parent = nullptr);

    // Optional: without a source, only wake and unlock count as input.
    void setIdleTimeSource(IdleTimeSource* source) { m_idleTimeSource = source; }
    IdleTimeSource* idleTimeSource() const { return m_idleTimeSource; }

    bool isUserActive();
    void recordActivity();

    QDateTime lastActivityTimestamp() const { return m_lastActivityTimestamp; }
    double idleThreshold() const { return m_idleThreshold; }
    void setIdleThreshold(double seconds);
    bool isScreenAsleep() const { return m_isScreenAsleep; }
    bool isScreenLocked() const { return m_isScreenLocked; }

    // Entry points for the desktop's session events. Machine sleep and display sleep share
    // one flag, so whichever wake arrives first clears it; waking and unlocking count as input.
    void machineWillSleep();
    void machineDidWake();
    void screensDidSleep();
    void screensDidWake();
    void screenLocked();
    void screenUnlocked();

Q_SIGNALS:
    void lastActivityTimestampChanged(const QDateTime& timestamp);
    void idleThresholdChanged(double seconds);
    void isScreenAsleepChanged(bool asleep);
    void isScreenLockedChanged(bool locked);

private:
    void setLastActivityTimestamp(const QDateTime& timestamp);
    void setScreenAsleep(bool asleep);
    void setScreenLocked(bool locked);
    void catchUpWithIdleTimeSource(const QDateTime& now);
    QDateTime readClock();

    Clock m_clock;
    IdleTimeSource* m_idleTimeSource = nullptr;
    QDateTime m_lastActivityTimestamp;
    // The clock's previous answer, to notice the clock being set back.
    QDateTime m_lastClockReading;
    double m_idleThreshold = defaultIdleThreshold;
    bool m_isScreenAsleep = false;
    bool m_isScreenLocked = false;
};
