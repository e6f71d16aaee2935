#pragma once

#include <QObject>

// The desktop session's state changes that decide whether the user can be present: machine
// sleep and wake, display sleep and wake, screen lock and unlock, and the time zone. Each desktop service
// that observes one of them emits it here; the application forwards them to the activity tracker.
//
// machineWillSleep is emitted synchronously while the service still holds off the sleep, so
// directly connected handlers (saving today's total) finish before the machine goes down.
class SessionEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

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
};
