#include "WaylandIdleTimeSource.h"

#include "IdleQueryTimeouts.h"
#include "WaylandConnection.h"
#include "WaylandLogging.h"

#include <wayland-client.h>

#include "ext-idle-notify-v1-client-protocol.h"

#include <algorithm>
#include <cstring>

namespace {

// Newer compositors offer v2, whose get_input_idle_notification ignores idle inhibitors
// (video players); using it needs the v2 XML, which Debian 12's wayland-protocols lacks.
constexpr std::uint32_t supportedNotifierVersion = 1;
// Capabilities are never asked for, so the first version of the seat is enough.
constexpr std::uint32_t seatVersion = 1;

} // namespace

std::unique_ptr<WaylandIdleTimeSource> WaylandIdleTimeSource::create(Clock clock, const QString& displayName)
{
    auto connection = WaylandConnection::connect(displayName, "No Wayland idle notifications");
    if (!connection)
        return nullptr;
    // Not make_unique: the constructor is private so that only set-up sources escape.
    std::unique_ptr<WaylandIdleTimeSource> source(
        new WaylandIdleTimeSource(std::move(clock), std::move(connection)));
    const QString failure = source->setUp();
    if (!failure.isEmpty()) {
        qCInfo(lcWayland).nospace().noquote()
            << "No Wayland idle notifications on " << source->m_connection->name() << ": " << failure;
        return nullptr;
    }
    return source;
}

WaylandIdleTimeSource::WaylandIdleTimeSource(Clock clock, std::unique_ptr<WaylandConnection> connection)
    : m_clock(std::move(clock))
    , m_connection(std::move(connection))
{}

WaylandIdleTimeSource::~WaylandIdleTimeSource()
{
    if (m_notification)
        ext_idle_notification_v1_destroy(m_notification);
    if (m_notifier)
        ext_idle_notifier_v1_destroy(m_notifier);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
}

std::optional<double> WaylandIdleTimeSource::secondsSinceLastInput()
{
    if (m_lost)
        return std::nullopt;
    if (!m_idledAt)
        return 0.0;
    // A clock stepped back past the idled event must not make idle time shorter than the timeout.
    const qint64 sinceIdled = std::max<qint64>(0, m_idledAt->msecsTo(m_clock()));
    return (sinceIdled + notificationTimeoutMs) / 1000.0;
}

QString WaylandIdleTimeSource::name() const
{
    return QStringLiteral("ext-idle-notify");
}

// Returns why idle notifications are unavailable, or nothing when they are set up.
QString WaylandIdleTimeSource::setUp()
{
    const QDeadlineTimer deadline(IdleQueryTimeouts::probeMs);
    static const wl_registry_listener registryListener{&onGlobal, &onGlobalRemove};
    m_registry = wl_display_get_registry(m_connection->display());
    wl_registry_add_listener(m_registry, &registryListener, this);
    if (!m_connection->roundtrip(deadline))
        return QStringLiteral("the compositor did not list its globals");
    if (!m_seat)
        return QStringLiteral("the compositor offers no seat");
    if (!m_notifier)
        return QStringLiteral("the compositor offers no ext_idle_notifier_v1");

    static const ext_idle_notification_v1_listener notificationListener{&onIdled, &onResumed};
    m_notification = ext_idle_notifier_v1_get_idle_notification(m_notifier, notificationTimeoutMs, m_seat);
    ext_idle_notification_v1_add_listener(m_notification, &notificationListener, this);
    // A second round trip surfaces a refused request now rather than at the first tick.
    if (!m_connection->roundtrip(deadline))
        return QStringLiteral("the compositor did not accept the idle notification");
    m_connection->startDispatching([this](const QString& reason) { markLost(reason); });
    return {};
}

void WaylandIdleTimeSource::markLost(const QString& reason)
{
    if (m_lost)
        return;
    m_lost = true;
    m_connection->stopDispatching();
    qCWarning(lcWayland).noquote() << "Wayland idle notifications stopped:" << reason;
}

void WaylandIdleTimeSource::onGlobal(void* data, wl_registry* registry, std::uint32_t id,
                                     const char* interface, std::uint32_t version)
{
    auto* self = static_cast<WaylandIdleTimeSource*>(data);
    if (!self->m_seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
        self->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, id, &wl_seat_interface, seatVersion));
        self->m_seatId = id;
    } else if (!self->m_notifier && std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
        const std::uint32_t bound = std::min(version, supportedNotifierVersion);
        self->m_notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, id, &ext_idle_notifier_v1_interface, bound));
        self->m_notifierId = id;
    }
}

void WaylandIdleTimeSource::onGlobalRemove(void* data, wl_registry*, std::uint32_t id)
{
    auto* self = static_cast<WaylandIdleTimeSource*>(data);
    if (id == self->m_seatId || id == self->m_notifierId)
        self->markLost(QStringLiteral("the compositor withdrew the seat or the idle notifier"));
}

void WaylandIdleTimeSource::onIdled(void* data, ext_idle_notification_v1*)
{
    auto* self = static_cast<WaylandIdleTimeSource*>(data);
    self->m_idledAt = self->m_clock();
}

void WaylandIdleTimeSource::onResumed(void* data, ext_idle_notification_v1*)
{
    static_cast<WaylandIdleTimeSource*>(data)->m_idledAt.reset();
}
