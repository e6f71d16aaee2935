#include "WaylandConnection.h"

#include "WaylandLogging.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <poll.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

void onSyncDone(void* data, wl_callback*, std::uint32_t)
{
    *static_cast<bool*>(data) = true;
}

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::connect(const QString& displayName,
                                                              const char* unavailable)
{
    const QString name = displayName.isEmpty() ? qEnvironmentVariable("WAYLAND_DISPLAY") : displayName;
    if (name.isEmpty()) {
        qCInfo(lcWayland).nospace() << unavailable << ": WAYLAND_DISPLAY is not set";
        return nullptr;
    }
    // WORKAROUND: Qt 6.4 exposes no handle to its own Wayland connection (that came in 6.5), and
    // the application may run on xcb under Xwayland anyway, so we open a connection of our own.
    wl_display* display = wl_display_connect(name.toLocal8Bit().constData());
    if (!display) {
        qCInfo(lcWayland).nospace() << unavailable << ": cannot connect to " << name << " ("
                                    << std::strerror(errno) << ")";
        return nullptr;
    }
    // Not make_unique: the constructor is private so that only connected objects escape.
    return std::unique_ptr<WaylandConnection>(new WaylandConnection(display, name));
}

WaylandConnection::WaylandConnection(wl_display* display, QString name)
    : m_display(display)
    , m_name(std::move(name))
{}

// The services destroy their protocol objects first; the flush hands those requests to the
// compositor so it frees its side before it sees the connection close.
WaylandConnection::~WaylandConnection()
{
    m_socketNotifier.reset();
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

bool WaylandConnection::roundtrip(const QDeadlineTimer& deadline)
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

void WaylandConnection::startDispatching(std::function<void(const QString& reason)> onLost)
{
    m_onLost = std::move(onLost);
    m_socketNotifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_socketNotifier.get(), &QSocketNotifier::activated, m_socketNotifier.get(),
                     [this] { onSocketReadable(); });
}

void WaylandConnection::stopDispatching()
{
    if (m_socketNotifier)
        m_socketNotifier->setEnabled(false);
}

// Runs the handlers of events already queued, or else reads what arrives before the deadline
// and runs those. False when nothing arrived in time or the connection broke.
bool WaylandConnection::dispatchBefore(const QDeadlineTimer& deadline)
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

// A broken connection stays readable, so the socket stops being watched before the service
// hears of it; otherwise the event loop would spin on it.
void WaylandConnection::onSocketReadable()
{
    dispatchBefore(QDeadlineTimer(0));
    wl_display_flush(m_display);
    if (const int error = wl_display_get_error(m_display)) {
        stopDispatching();
        if (m_onLost)
            m_onLost(QString::fromLocal8Bit(std::strerror(error)));
    }
}
