#include "WaylandConnection.h"

#include "WaylandLogging.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <poll.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

struct WaylandConnection::PendingAnswer {
    WaylandConnection* connection = nullptr;
    wl_callback* callback = nullptr;
    std::function<void()> answered;
};

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
    for (const std::unique_ptr<PendingAnswer>& pending : m_pendingAnswers)
        wl_callback_destroy(pending->callback);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void WaylandConnection::whenAnswered(std::function<void()> answered)
{
    static const wl_callback_listener listener{&onSyncDone};
    auto pending = std::make_unique<PendingAnswer>();
    pending->connection = this;
    pending->callback = wl_display_sync(m_display);
    pending->answered = std::move(answered);
    wl_callback_add_listener(pending->callback, &listener, pending.get());
    m_pendingAnswers.push_back(std::move(pending));
    wl_display_flush(m_display);
}

// The answer is taken out of the list before it runs, so it may ask for another one.
void WaylandConnection::onSyncDone(void* data, wl_callback* callback, std::uint32_t)
{
    auto* pending = static_cast<PendingAnswer*>(data);
    WaylandConnection* self = pending->connection;
    std::function<void()> answered = std::move(pending->answered);
    wl_callback_destroy(callback);
    std::erase_if(self->m_pendingAnswers,
                  [pending](const std::unique_ptr<PendingAnswer>& each) { return each.get() == pending; });
    answered();
}

void WaylandConnection::startDispatching(std::function<void(const QString& reason)> onLost)
{
    m_onLost = std::move(onLost);
    wl_display_flush(m_display);
    m_socketNotifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_socketNotifier.get(), &QSocketNotifier::activated, m_socketNotifier.get(),
                     [this] { onSocketReadable(); });
}

void WaylandConnection::stopDispatching()
{
    if (m_socketNotifier)
        m_socketNotifier->setEnabled(false);
}

// Reads what the socket holds, without waiting, and runs the handlers of every queued event.
void WaylandConnection::readAndDispatch()
{
    if (wl_display_prepare_read(m_display) == 0) {
        pollfd socket{wl_display_get_fd(m_display), POLLIN, 0};
        if (::poll(&socket, 1, 0) > 0)
            wl_display_read_events(m_display);
        else
            wl_display_cancel_read(m_display);
    }
    wl_display_dispatch_pending(m_display);
}

// A broken connection stays readable, so the socket stops being watched before the service
// hears of it; otherwise the event loop would spin on it. The handlers may have made requests
// (binding a global that just arrived), which the flush sends.
void WaylandConnection::onSocketReadable()
{
    readAndDispatch();
    wl_display_flush(m_display);
    if (const int error = wl_display_get_error(m_display)) {
        stopDispatching();
        if (m_onLost)
            m_onLost(QString::fromLocal8Bit(std::strerror(error)));
    }
}
