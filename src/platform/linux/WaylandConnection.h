#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;
struct wl_display;

// A wayland-client connection of our own, for the services that need protocols Qt does not
// speak. Set-up blocks on round trips with a deadline, so a hung compositor cannot stall the
// start; afterwards the connection is serviced from Qt's event loop, so events arrive between
// ticks without a thread of our own.
class WaylandConnection {
public:
    // Connects to displayName (empty: WAYLAND_DISPLAY). Null when there is nothing to connect
    // to, after one log line that starts with unavailable, so each service names itself.
    static std::unique_ptr<WaylandConnection> connect(const QString& displayName, const char* unavailable);

    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return m_display; }
    QString name() const { return m_name; }

    // Sends everything queued and runs the handlers of every event the compositor sends before
    // it answers. False when it does not answer before the deadline or the connection broke.
    bool roundtrip(const QDeadlineTimer& deadline);

    // Runs the handlers of incoming events whenever the socket becomes readable. onLost is told
    // why once the connection breaks; the socket is no longer watched from then on.
    void startDispatching(std::function<void(const QString& reason)> onLost);
    void stopDispatching();

private:
    WaylandConnection(wl_display* display, QString name);

    bool dispatchBefore(const QDeadlineTimer& deadline);
    void onSocketReadable();

    wl_display* m_display = nullptr;
    QString m_name;
    std::unique_ptr<QSocketNotifier> m_socketNotifier;
    std::function<void(const QString& reason)> m_onLost;
};
