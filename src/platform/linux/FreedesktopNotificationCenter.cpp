#include "FreedesktopNotificationCenter.h"

#include "Logging.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {
constexpr QLatin1StringView serviceName("org.freedesktop.Notifications");
constexpr QLatin1StringView objectPath("/org/freedesktop/Notifications");
constexpr QLatin1StringView dbusService("org.freedesktop.DBus");
constexpr QLatin1StringView dbusPath("/org/freedesktop/DBus");

QVariantMap notifyHints(const NotificationRequest& request)
{
    QVariantMap hints{{u"desktop-entry"_s, u"lumatick"_s},
                      // The urgency must travel as a byte; an int would be rejected by strict servers.
                      {u"urgency"_s, QVariant::fromValue(uchar(1))}};
    if (request.defaultSound)
        hints.insert(u"sound-name"_s, u"message-new-instant"_s);
    else
        hints.insert(u"suppress-sound"_s, true);
    return hints;
}

QDBusMessage busDaemonCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(dbusService, dbusPath, dbusService, method);
    call.setArguments(arguments);
    return call;
}
} // namespace

FreedesktopNotificationCenter::FreedesktopNotificationCenter(QDBusConnection bus, Clock clock,
                                                             QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_scheduler(clock ? std::move(clock) : Clock(&QDateTime::currentDateTimeUtc),
                  [this](const NotificationRequest& request) { deliver(request, {}); })
{
    connect(&m_scheduler, &NotificationScheduler::nextDeliveryChanged, this,
            &FreedesktopNotificationCenter::armTimer);
    connect(&m_timer, &WallClockTimer::timeout, &m_scheduler, &NotificationScheduler::deliverDue);
    connect(&m_timer, &WallClockTimer::clockChanged, &m_scheduler, &NotificationScheduler::recompute);
}

void FreedesktopNotificationCenter::requestAuthorization(std::function<void(bool granted)> done)
{
    checkServerAvailable([done = std::move(done)](bool available) {
        if (done)
            done(available);
    });
}

void FreedesktopNotificationCenter::authorizationStatus(std::function<void(AuthorizationStatus status)> done)
{
    checkServerAvailable([done = std::move(done)](bool available) {
        if (done)
            done(available ? AuthorizationStatus::authorized : AuthorizationStatus::denied);
    });
}

void FreedesktopNotificationCenter::add(const NotificationRequest& request, std::function<void(bool ok)> done)
{
    if (!request.trigger) {
        // Delivered now, so nothing under this identifier is left waiting.
        m_scheduler.remove(request.identifier);
        deliver(request, std::move(done));
        return;
    }
    const bool scheduled = m_scheduler.schedule(request);
    if (!scheduled)
        qCWarning(lcScreenTime) << "Notification" << request.identifier << "has a calendar time out of range";
    if (done)
        done(scheduled);
}

void FreedesktopNotificationCenter::removePending(const QString& identifier)
{
    m_scheduler.remove(identifier);
}

void FreedesktopNotificationCenter::checkServerAvailable(std::function<void(bool available)> done)
{
    if (!m_bus.isConnected()) {
        reportServerState(false, u"no session bus"_s);
        done(false);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(busDaemonCall(u"NameHasOwner"_s, {QString(serviceName)})), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, done = std::move(done)](QDBusPendingCallWatcher* finished) mutable {
                finished->deleteLater();
                const QDBusPendingReply<bool> reply = *finished;
                if (!reply.isError() && reply.value()) {
                    done(true);
                    return;
                }
                checkActivatable(std::move(done));
            });
}

void FreedesktopNotificationCenter::checkActivatable(std::function<void(bool available)> done)
{
    // Lightweight servers are often started by the bus on the first Notify, so nothing owns
    // the name until then; such a server still shows our notifications.
    auto* watcher =
        new QDBusPendingCallWatcher(m_bus.asyncCall(busDaemonCall(u"ListActivatableNames"_s, {})), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, done = std::move(done)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QStringList> reply = *finished;
                const bool available = !reply.isError() && reply.value().contains(serviceName);
                if (!available)
                    reportServerState(false, u"no notification server on the session bus"_s);
                done(available);
            });
}

void FreedesktopNotificationCenter::deliver(const NotificationRequest& request,
                                            std::function<void(bool ok)> done)
{
    if (m_inFlight.contains(request.identifier)) {
        // The request waiting before this one will never be shown: it counts as replaced.
        const QueuedDelivery superseded = m_queued.take(request.identifier);
        if (superseded.done)
            superseded.done(true);
        m_queued.insert(request.identifier, QueuedDelivery{request, std::move(done)});
        return;
    }
    sendNotify(request, std::move(done));
}

void FreedesktopNotificationCenter::sendNotify(const NotificationRequest& request,
                                               std::function<void(bool ok)> done)
{
    if (!m_bus.isConnected()) {
        reportServerState(false, u"no session bus"_s);
        if (done)
            done(false);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName, objectPath, serviceName, u"Notify"_s);
    call.setArguments({u"Lumatick"_s, m_shownIds.value(request.identifier, 0u), u"lumatick"_s, request.title,
                       request.body, QStringList(), notifyHints(request), -1});
    m_inFlight.insert(request.identifier);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, identifier = request.identifier, done = std::move(done)](
                QDBusPendingCallWatcher* finished) { notifyFinished(finished, identifier, done); });
}

void FreedesktopNotificationCenter::notifyFinished(QDBusPendingCallWatcher* watcher,
                                                   const QString& identifier,
                                                   const std::function<void(bool ok)>& done)
{
    watcher->deleteLater();
    m_inFlight.remove(identifier);
    const QDBusPendingReply<uint> reply = *watcher;
    const bool ok = !reply.isError();
    if (ok)
        m_shownIds.insert(identifier, reply.value());
    reportServerState(ok, reply.error().message());
    if (done)
        done(ok);
    if (m_queued.contains(identifier)) {
        QueuedDelivery next = m_queued.take(identifier);
        sendNotify(next.request, std::move(next.done));
    }
}

void FreedesktopNotificationCenter::reportServerState(bool reachable, const QString& reason)
{
    // One line when the server goes away and one when it is back, however often we try.
    if (reachable == m_serverReachable)
        return;
    m_serverReachable = reachable;
    if (reachable)
        qCInfo(lcScreenTime) << "Notification server reachable again";
    else
        qCWarning(lcScreenTime).noquote() << "Notifications cannot be shown:" << reason;
}

void FreedesktopNotificationCenter::armTimer()
{
    const std::optional<QDateTime> next = m_scheduler.nextDelivery();
    if (next)
        m_timer.start(*next);
    else
        m_timer.stop();
}
