#pragma once

#include <QObject>

// The desktop session's state changes that decide whether the user can be present: machine
// sleep and wake, display sleep and wake, screen lock and unlock, and the time zone. Each desktop service
// that observes one of them emits it here; the application forwards them to the activity tracker.
//
// machineWillSleep is emitted synchronously while the service still holds off the sleep, so
// directly connected handlers (saving today's total) finish before the machine goes down.
//
// The services report the state they find while they are being built, before anyone listens,
// so the lock and display-sleep state is also kept here for a late listener to catch up with.
class SessionEvents : public QObject {
    Q_OBJECT
public:
    explicit SessionEvents(QObject* parent = nullptr)
        : QObject(parent)
    {
        connect(this, &SessionEvents::screenLocked, this, [this] { m_isScreenLocked = true; });
        connect(this, &SessionEvents::screenUnlocked, this, [this] { m_isScreenLocked = false; });
        connect(this, &SessionEvents::screensDidSleep, this, [this] { m_areScreensAsleep = true; });
        connect(this, &SessionEvents::screensDidWake, this, [this] { m_areScreensAsleep = false; });
        connect(this, &SessionEvents::machineDidWake, this, [this] { m_areScreensAsleep = false; });
    }

    bool isScreenLocked() const { return m_isScreenLocked; }
    bool areScreensAsleep() const { return m_areScreensAsleep; }

Q_SIGNALS:
    void machineWillSleep();
    void machineDidWake();
    void screensDidSleep();
    void screensDidWake();
    void screenLocked();
    void screenUnlocked();
    // The system's time zone changed (local time already follows it): days and calendar
    // times are to be worked out afresh.
    void timeZoneChanged();

private:
    bool m_isScreenLocked = false;
    bool m_areScreensAsleep = false;
};
