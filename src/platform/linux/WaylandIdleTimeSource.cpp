#include "WaylandIdleTimeSource.h"

#include "WaylandConnection.h"
#include "WaylandLogging.h"

#include <wayland-client.h>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"

#include <algorithm>
#include <cstring>

namespace {

// Newer compositors offer v2, whose get_input_idle_notification ignores idle inhibitors
// (video players); using it needs the v2 XML, which Debian 12's wayland-protocols lacks.
constexpr std::uint32_t supportedNotifierVersion = 1;
// Capabilities are never asked for, so the first version of the seat is enough.
constexpr std::uint32_t seatVersion = 1;
constexpr std::uint32_t kdeIdleVersion = 1;

bool named(const char* interface, const wl_interface& known)
{
    return std::strcmp(interface, known.name) == 0;
}

} // namespace

std::unique_ptr<WaylandIdleTimeSource> WaylandIdleTimeSource::create(Clock clock, const QString& displayName)
{
    auto connection = WaylandConnection::connect(displayName, "No Wayland idle notifications");
    if (!connection)
        return nullptr;
    // Not make_unique: the constructor is private so that only started sources escape.
    std::unique_ptr<WaylandIdleTimeSource> source(
        new WaylandIdleTimeSource(std::move(clock), std::move(connection)));
    source->start();
    return source;
}

WaylandIdleTimeSource::WaylandIdleTimeSource(Clock clock, std::unique_ptr<WaylandConnection> connection)
    : m_clock(std::move(clock))
    , m_connection(std::move(connection))
{}

WaylandIdleTimeSource::~WaylandIdleTimeSource()
{
    if (m_extNotification)
        ext_idle_notification_v1_destroy(m_extNotification);
    if (m_extNotifier)
        ext_idle_notifier_v1_destroy(m_extNotifier);
    if (m_kdeTimeout)
        org_kde_kwin_idle_timeout_release(m_kdeTimeout);
    if (m_kdeIdle)
        org_kde_kwin_idle_destroy(m_kdeIdle);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
}

std::optional<double> WaylandIdleTimeSource::secondsSinceLastInput()
{
    if (m_lost || !m_accepted)
        return std::nullopt;
    if (!m_idledAt)
        return 0.0;
    // A clock stepped back past the idled event must not make idle time shorter than the timeout.
    const qint64 sinceIdled = std::max<qint64>(0, m_idledAt->msecsTo(m_clock()));
    return (sinceIdled + notificationTimeoutMs) / 1000.0;
}

QString WaylandIdleTimeSource::name() const
{
    return m_protocol == Protocol::KdeIdle ? QStringLiteral("org_kde_kwin_idle")
                                           : QStringLiteral("ext-idle-notify");
}

// Asks for the globals and returns at once; they are handled whenever the compositor sends them.
void WaylandIdleTimeSource::start()
{
    static const wl_registry_listener registryListener{&onGlobal, &onGlobalRemove};
    m_registry = wl_display_get_registry(m_connection->display());
    wl_registry_add_listener(m_registry, &registryListener, this);
    m_connection->whenAnswered([this] { onListed(); });
    m_connection->startDispatching([this](const QString& reason) { markLost(reason); });
}

// The first listing is complete. Without what we need, the connection is still watched: a
// global announced later is taken up then.
void WaylandIdleTimeSource::onListed()
{
    m_listed = true;
    if (takeUp())
        return;
    qCInfo(lcWayland).nospace().noquote()
        << "No Wayland idle notifications on " << m_connection->name() << " for now: " << missingGlobals();
    notifyChanged();
}

// Binds the seat and the best idle protocol offered; false while either is missing. Before
// the first listing is complete, nothing is bound, so ext-idle-notify wins over KWin's
// protocol whatever order the compositor lists them in. The source answers once the
// compositor has accepted the request, so no idled event it sends can be missed.
bool WaylandIdleTimeSource::takeUp()
{
    if (m_seat)
        return true;
    if (m_lost || !m_listed || m_seatId == 0 || (m_extNotifierId == 0 && m_kdeIdleId == 0))
        return false;
    m_seat = static_cast<wl_seat*>(wl_registry_bind(m_registry, m_seatId, &wl_seat_interface, seatVersion));
    requestNotifications();
    m_connection->whenAnswered([this] {
        m_accepted = true;
        notifyChanged();
    });
    return true;
}

void WaylandIdleTimeSource::requestNotifications()
{
    static const ext_idle_notification_v1_listener extListener{
        [](void* data, ext_idle_notification_v1*) { onIdled(data); },
        [](void* data, ext_idle_notification_v1*) { onResumed(data); }};
    static const org_kde_kwin_idle_timeout_listener kdeListener{
        [](void* data, org_kde_kwin_idle_timeout*) { onIdled(data); },
        [](void* data, org_kde_kwin_idle_timeout*) { onResumed(data); }};
    if (m_extNotifierId != 0) {
        m_protocol = Protocol::ExtIdleNotify;
        m_extNotifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(m_registry, m_extNotifierId, &ext_idle_notifier_v1_interface,
                             std::min(m_extNotifierVersion, supportedNotifierVersion)));
        m_extNotification =
            ext_idle_notifier_v1_get_idle_notification(m_extNotifier, notificationTimeoutMs, m_seat);
        ext_idle_notification_v1_add_listener(m_extNotification, &extListener, this);
    } else {
        m_protocol = Protocol::KdeIdle;
        m_kdeIdle = static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(m_registry, m_kdeIdleId, &org_kde_kwin_idle_interface, kdeIdleVersion));
        m_kdeTimeout = org_kde_kwin_idle_get_idle_timeout(m_kdeIdle, m_seat, notificationTimeoutMs);
        org_kde_kwin_idle_timeout_add_listener(m_kdeTimeout, &kdeListener, this);
    }
}

QString WaylandIdleTimeSource::missingGlobals() const
{
    if (m_seatId == 0)
        return QStringLiteral("the compositor offers no seat");
    return QStringLiteral("the compositor offers neither ext_idle_notifier_v1 nor org_kde_kwin_idle");
}

void WaylandIdleTimeSource::markLost(const QString& reason)
{
    if (m_lost)
        return;
    m_lost = true;
    m_connection->stopDispatching();
    qCWarning(lcWayland).noquote() << "Wayland idle notifications stopped:" << reason;
    notifyChanged();
}

void WaylandIdleTimeSource::notifyChanged()
{
    if (m_onChanged)
        m_onChanged();
}

void WaylandIdleTimeSource::onGlobal(void* data, wl_registry*, std::uint32_t id, const char* interface,
                                     std::uint32_t version)
{
    auto* self = static_cast<WaylandIdleTimeSource*>(data);
    if (self->m_seatId == 0 && named(interface, wl_seat_interface)) {
        self->m_seatId = id;
    } else if (self->m_extNotifierId == 0 && named(interface, ext_idle_notifier_v1_interface)) {
        self->m_extNotifierId = id;
        self->m_extNotifierVersion = version;
    } else if (self->m_kdeIdleId == 0 && named(interface, org_kde_kwin_idle_interface)) {
        self->m_kdeIdleId = id;
    } else {
        return;
    }
    self->takeUp();
}

// A global withdrawn before it is bound is simply forgotten; one in use ends the source.
void WaylandIdleTimeSource::onGlobalRemove(void* data, wl_registry*, std::uint32_t id)
{
    auto* self = static_cast<WaylandIdleTimeSource*>(data);
    if (self->m_seat) {
        const bool inUse =
            id == self->m_seatId ||
            id == (self->m_protocol == Protocol::KdeIdle ? self->m_kdeIdleId : self->m_extNotifierId);
        if (inUse)
            self->markLost(QStringLiteral("the compositor withdrew the seat or the idle notifier"));
        return;
    }
    for (std::uint32_t* announced : {&self->m_seatId, &self->m_extNotifierId, &self->m_kdeIdleId})
        if (*announced == id)
            *announced = 0;
}

void WaylandIdleTimeSource::onIdled(void* data)
{
    auto* self = static_cast<WaylandIdleTimeSource*>(data);
    self->m_idledAt = self->m_clock();
}

void WaylandIdleTimeSource::onResumed(void* data)
{
    static_cast<WaylandIdleTimeSource*>(data)->m_idledAt.reset();
}
