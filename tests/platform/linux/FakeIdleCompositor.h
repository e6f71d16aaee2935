#pragma once

#include <QString>

#include <wayland-server-core.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// A minimal Wayland compositor on a thread of its own, offering a seat, ext_idle_notifier_v1
// at the version asked for (0: not at all) and, if asked, KWin's org_kde_kwin_idle. The test
// decides when the user goes idle or comes back, when the compositor answers and what it
// offers later, and reads what the client asked for. Its socket is made in XDG_RUNTIME_DIR,
// which the test points at a private folder.
class FakeIdleCompositor {
public:
    explicit FakeIdleCompositor(std::uint32_t notifierVersion = 1, bool kdeIdle = false);
    ~FakeIdleCompositor();
    FakeIdleCompositor(const FakeIdleCompositor&) = delete;
    FakeIdleCompositor& operator=(const FakeIdleCompositor&) = delete;

    bool isRunning() const { return m_thread.joinable(); }
    QString socketName() const { return m_socketName; }
    // Closes every client and the socket, as a crashing compositor would.
    void stop();
    // Sent to every live notification of either protocol; the client sees them when it reads.
    void sendIdled();
    void sendResumed();
    // While held, nothing the clients send is answered, as with a compositor slow to take a
    // new client on.
    void holdAnswers(bool held) { m_held = held; }
    // Announced to the clients already connected, too.
    void offerKdeIdle();

    // What the client did: the timeouts it asked for and the notifier versions it bound.
    struct Seen {
        std::vector<std::uint32_t> timeouts;
        std::vector<std::uint32_t> boundVersions;
    };
    Seen seen() const;

private:
    void serve();

    static void bindNotifier(wl_client* client, void* data, std::uint32_t version, std::uint32_t id);
    static void getNotification(wl_client* client, wl_resource* notifier, std::uint32_t id,
                                std::uint32_t timeout, wl_resource* seat);
    static void bindKdeIdle(wl_client* client, void* data, std::uint32_t version, std::uint32_t id);
    static void getIdleTimeout(wl_client* client, wl_resource* idle, std::uint32_t id, wl_resource* seat,
                               std::uint32_t timeout);
    wl_resource* addNotification(wl_client* client, const wl_interface& interface, int version,
                                 std::uint32_t id, const void* implementation);

    wl_display* m_display = wl_display_create();
    wl_interface m_advertisedNotifier;
    QString m_socketName;
    std::thread m_thread;
    std::atomic<bool> m_running = true;
    std::atomic<bool> m_held = false;
    // Everything below is guarded by the mutex.
    mutable std::mutex m_mutex;
    std::vector<wl_resource*> m_notifications;
    std::vector<wl_resource*> m_kdeTimeouts;
    Seen m_seen;
};
