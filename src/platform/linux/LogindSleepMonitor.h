#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

class QDBusPendingCallWatcher;
class SessionEvents;

// Tells the session events of machine sleep and wake from logind's PrepareForSleep on the
// system bus. It holds a delay inhibitor while awake, so logind waits for the handlers of
// machineWillSleep (which save today's total) before the machine goes down.
class LogindSleepMonitor : public QObject {
    Q_OBJECT
public:
    LogindSleepMonitor(QDBusConnection systemBus, SessionEvents& events, QObject* parent = nullptr);

    // Subscribes and asks for the inhibitor. False, with one log line, when logind is absent.
    bool start();
    bool holdsInhibitor() const { return m_inhibitor.isValid(); }

private Q_SLOTS:
    void onPrepareForSleep(bool goingToSleep);
    void onInhibitReply(QDBusPendingCallWatcher* watcher);

private:
    void takeInhibitor();
    void releaseInhibitor();

    QDBusConnection m_systemBus;
    SessionEvents& m_events;
    QDBusUnixFileDescriptor m_inhibitor;
    bool m_asleep = false;
};
