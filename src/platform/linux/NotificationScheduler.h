#pragma once

#include "Clock.h"
#include "NotificationRequest.h"

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

// Keeps the notification requests that wait for a calendar time, one per identifier, and hands
// each to `deliver` when its time comes, then waits for the following occurrence. The
// notification service has no scheduler of its own, so ours lives in the process: nothing is
// delivered while Lumatick is not running. Times are matched against the local wall clock at
// every computation, so a time-zone change only needs a recompute().
//
// The scheduler never waits by itself: its owner arms a timer at nextDelivery() whenever
// nextDeliveryChanged() is emitted and calls deliverDue() when it fires.
class NotificationScheduler : public QObject {
    Q_OBJECT
public:
    using Deliver = std::function<void(const NotificationRequest& request)>;

    // An occurrence found missed by more than this (the machine slept through it, or the clock
    // was set past it) is skipped: a summary hours late would only repeat stale news.
    static constexpr qint64 lateDeliveryGraceSeconds = 10 * 60;

    NotificationScheduler(Clock clock, Deliver deliver, QObject* parent = nullptr);

    // Replaces any request under the same identifier. False, and nothing kept, for a request
    // without a trigger or with a weekday, hour or minute out of range.
    bool schedule(const NotificationRequest& request);
    void remove(const QString& identifier);

    bool isPending(const QString& identifier) const { return m_pending.contains(identifier); }
    QStringList pendingIdentifiers() const { return m_pending.keys(); }
    std::optional<QDateTime> deliveryOf(const QString& identifier) const;
    // The earliest delivery of all pending requests.
    std::optional<QDateTime> nextDelivery() const;

    // Delivers every request whose time has come by the clock and moves it to its following
    // occurrence (or drops it when it does not repeat).
    void deliverDue();
    // After the clock was set, the machine woke or the time zone changed: delivers what just
    // came due and works every other delivery out afresh from the current wall clock.
    void recompute();

    // The first occurrence of `trigger` strictly after `after`, in local time: a wall time
    // skipped by a spring-forward change falls on the first instant after the gap, and one
    // repeated by a fall-back change counts at its first instance only. Invalid for a trigger
    // out of range.
    static QDateTime nextDeliveryAfter(const CalendarTrigger& trigger, const QDateTime& after);

Q_SIGNALS:
    void nextDeliveryChanged();

private:
    struct Entry {
        NotificationRequest request;
        QDateTime due;
    };

    void deliverIfDue(const QString& identifier, const QDateTime& now);

    Clock m_clock;
    Deliver m_deliver;
    QMap<QString, Entry> m_pending;
};
