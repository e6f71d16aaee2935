#pragma once

#include "Clock.h"
#include "NotificationCenter.h"
#include "NotificationScheduler.h"
#include "WallClockTimer.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>

class QDBusPendingCallWatcher;

// Notifications through the desktop's notification server (org.freedesktop.Notifications).
// The server shows notifications but cannot hold them for later, so calendar requests wait in
// our own scheduler on a wall-clock timer. Each identifier keeps the id the server gave its
// last notification, so a new one under that identifier replaces it on screen.
//
// removePending() only cancels what is still scheduled: a notification already on screen
// stays there until the user or the server dismisses it, because the one caller that withdraws
// at quit should not take a summary away the user has not read yet.
class FreedesktopNotificationCenter : public QObject, public NotificationCenter {
    Q_OBJECT
public:
    // `clock` defaults to the real wall clock; `bus` is the session bus in production.
    explicit FreedesktopNotificationCenter(QDBusConnection bus, Clock clock = {}, QObject* parent = nullptr);

    // Nobody is asked: the answer is whether a notification server is running or can be
    // started on demand by the bus.
    void requestAuthorization(std::function<void(bool granted)> done) override;
    void authorizationStatus(std::function<void(AuthorizationStatus status)> done) override;
    // A request with a calendar trigger completes with true once it is scheduled; a delivery
    // the server refuses later is only logged.
    void add(const NotificationRequest& request, std::function<void(bool ok)> done = {}) override;
    void removePending(const QString& identifier) override;

    // For the owner to call recompute() after the machine wakes or the time zone changes.
    NotificationScheduler& scheduler() { return m_scheduler; }

private:
    struct QueuedDelivery {
        NotificationRequest request;
        std::function<void(bool ok)> done;
    };

    void checkServerAvailable(std::function<void(bool available)> done);
    void checkActivatable(std::function<void(bool available)> done);
    void deliver(const NotificationRequest& request, std::function<void(bool ok)> done);
    void sendNotify(const NotificationRequest& request, std::function<void(bool ok)> done);
    void notifyFinished(QDBusPendingCallWatcher* watcher, const QString& identifier,
                        const std::function<void(bool ok)>& done);
    void reportServerState(bool reachable, const QString& reason);
    void armTimer();

    QDBusConnection m_bus;
    NotificationScheduler m_scheduler;
    WallClockTimer m_timer;
    // The server's id of the last notification shown under each identifier.
    QHash<QString, uint> m_shownIds;
    // A Notify under an identifier waits for the previous one's reply, since it needs the id
    // that reply carries; only the latest waiting request is kept.
    QSet<QString> m_inFlight;
    QHash<QString, QueuedDelivery> m_queued;
    bool m_serverReachable = true;
};
