#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;
struct wl_callback;
struct wl_display;

// A wayland-client connection of our own, for the services that need protocols Qt does not
// speak. Nothing here blocks: the connection is serviced from Qt's event loop, so events
// arrive between ticks without a thread of our own, and a compositor that answers late (KWin
// takes longer the larger our executable is) holds up nothing.
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

    // Calls answered once the compositor has handled every request sent so far and sent every
    // event they caused (all globals of a new registry, the state of a new object), however
    // late that is. Needs dispatching to be started.
    void whenAnswered(std::function<void()> answered);

    // Sends everything queued and from then on runs the handlers of incoming events whenever
    // the socket becomes readable. onLost is told why once the connection breaks; the socket
    // is no longer watched from then on.
    void startDispatching(std::function<void(const QString& reason)> onLost);
    void stopDispatching();

private:
    struct PendingAnswer;

    WaylandConnection(wl_display* display, QString name);

    void readAndDispatch();
    void onSocketReadable();
    static void onSyncDone(void* data, wl_callback* callback, std::uint32_t);

    wl_display* m_display = nullptr;
    QString m_name;
    std::unique_ptr<QSocketNotifier> m_socketNotifier;
    std::function<void(const QString& reason)> m_onLost;
    std::vector<std::unique_ptr<PendingAnswer>> m_pendingAnswers;
};
