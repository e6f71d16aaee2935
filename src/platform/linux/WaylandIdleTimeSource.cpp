#include "WaylandIdleTimeSource.h"

#include "IdleQueryTimeouts.h"
#include "WaylandLogging.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include "ext-idle-notify-v1-client-protocol.h"

#include <poll.h>

#include <algorithm>
#include <cstring>

namespace {

// Newer compositors offer v2, whose get_input_idle_notification ignores idle inhibitors
// (video players); using it needs the v2 XML, which Debian 12's wayland-protocols lacks.
constexpr std::uint32_t supportedNotifierVersion = 1;
// Capabilities are never asked for, so the first version of the seat is enough.
constexpr std::uint32_t seatVersion = 1;

QString displayNameOrDefault(const QString& displayName)
{
    return displayName.isEmpty() ? qEnvironmentVariable("WAYLAND_DISPLAY") : displayName;
}

} // namespace

std::unique_ptr<WaylandIdleTimeSource> WaylandIdleTimeSource::create(Clock clock, const QString& displayName)
{
    const QString name = displayNameOrDefault(displayName);
    if (name.isEmpty()) {
        qCInfo(lcWayland) << "No Wayland idle notifications: WAYLAND_DISPLAY is not set";
        return nullptr;
    }
    // WORKAROUND: Qt 6.4 exposes no handle to its own Wayland connection (that came in 6.5), and
    // the application may run on xcb under Xwayland anyway, so we open a connection of our own.
    wl_display* display = wl_display_connect(name.toLocal8Bit().constData());
    if (!display) {
        qCInfo(lcWayland).nospace() << "No Wayland idle notifications: cannot connect to " << name << " ("
                                    << std::strerror(errno) << ")";
        return nullptr;
    }
    // Not make_unique: the constructor is private so that only set-up sources escape.
    std::unique_ptr<WaylandIdleTimeSource> source(new WaylandIdleTimeSource(std::move(clock), display));
    const QString failure = source->setUp();
    if (!failure.isEmpty()) {
        qCInfo(lcWayland).nospace().noquote()
            << "No Wayland idle notifications on " << name << ": " << failure;
        return nullptr;
    }
    return source;
}

WaylandIdleTimeSource::WaylandIdleTimeSource(Clock clock, wl_display* display)
    : m_clock(std::move(clock))
    , m_display(display)
{}

WaylandIdleTimeSource::~WaylandIdleTimeSource()
{
    m_socketNotifier.reset();
    if (m_notification)
        ext_idle_notification_v1_destroy(m_notification);
    if (m_notifier)
        ext_idle_notifier_v1_destroy(m_notifier);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
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
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    if (!roundtrip(deadline))
        return QStringLiteral("the compositor did not list its globals");
    if (!m_seat)
        return QStringLiteral("the compositor offers no seat");
    if (!m_notifier)
        return QStringLiteral("the compositor offers no ext_idle_notifier_v1");

    static const ext_idle_notification_v1_listener notificationListener{&onIdled, &onResumed};
    m_notification = ext_idle_notifier_v1_get_idle_notification(m_notifier, notificationTimeoutMs, m_seat);
    ext_idle_notification_v1_add_listener(m_notification, &notificationListener, this);
    // A second round trip surfaces a refused request now rather than at the first tick.
    if (!roundtrip(deadline))
        return QStringLiteral("the compositor did not accept the idle notification");
    watchSocket();
    return {};
}

bool WaylandIdleTimeSource::roundtrip(const QDeadlineTimer& deadline)
{
    static const wl_callback_listener listener{&onSyncDone};
    bool done = false;
    wl_callback* callback = wl_display_sync(m_display);
    wl_callback_add_listener(callback, &listener, &done);
    while (!done && dispatchBefore(deadline)) {
    }
    wl_callback_destroy(callback);
    return done;
}

// Runs the handlers of events already queued, or else reads what arrives before the deadline
// and runs those. False when nothing arrived in time or the connection broke.
bool WaylandIdleTimeSource::dispatchBefore(const QDeadlineTimer& deadline)
{
    if (wl_display_prepare_read(m_display) != 0)
        return wl_display_dispatch_pending(m_display) >= 0;
    wl_display_flush(m_display);
    pollfd socket{wl_display_get_fd(m_display), POLLIN, 0};
    if (::poll(&socket, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
        wl_display_cancel_read(m_display);
        return false;
    }
    if (wl_display_read_events(m_display) < 0)
        return false;
    return wl_display_dispatch_pending(m_display) >= 0;
}

// The connection is serviced from Qt's event loop, so events arrive between ticks without a
// thread of our own.
void WaylandIdleTimeSource::watchSocket()
{
    m_socketNotifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_socketNotifier.get(), &QSocketNotifier::activated, m_socketNotifier.get(),
                     [this] { onSocketReadable(); });
}

void WaylandIdleTimeSource::onSocketReadable()
{
    dispatchBefore(QDeadlineTimer(0));
    wl_display_flush(m_display);
    if (const int error = wl_display_get_error(m_display))
        markLost(QString::fromLocal8Bit(std::strerror(error)));
}

void WaylandIdleTimeSource::markLost(const QString& reason)
{
    if (m_lost)
        return;
    m_lost = true;
    if (m_socketNotifier)
        m_socketNotifier->setEnabled(false);
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

void WaylandIdleTimeSource::onSyncDone(void* data, wl_callback*, std::uint32_t)
{
    *static_cast<bool*>(data) = true;
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
