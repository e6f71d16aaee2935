#pragma once

#include <QString>

#include <wayland-server-core.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// A minimal Wayland compositor on a thread of its own (the client under test blocks on it),
// offering a seat and, at the version asked for (0: not at all), ext_idle_notifier_v1. The test
// decides when the user goes idle or comes back, and reads what the client asked for. Its
// socket is made in XDG_RUNTIME_DIR, which the test points at a private folder.
class FakeIdleCompositor {
public:
    explicit FakeIdleCompositor(std::uint32_t notifierVersion = 1);
    ~FakeIdleCompositor();
    FakeIdleCompositor(const FakeIdleCompositor&) = delete;
    FakeIdleCompositor& operator=(const FakeIdleCompositor&) = delete;

    bool isRunning() const { return m_thread.joinable(); }
    QString socketName() const { return m_socketName; }
    // Closes every client and the socket, as a crashing compositor would.
    void stop();
    // Sent to every live notification; the client sees them when it reads.
    void sendIdled();
    void sendResumed();

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

    wl_display* m_display = wl_display_create();
    wl_interface m_advertisedNotifier;
    QString m_socketName;
    std::thread m_thread;
    std::atomic<bool> m_running = true;
    // Everything below is guarded by the mutex.
    mutable std::mutex m_mutex;
    std::vector<wl_resource*> m_notifications;
    Seen m_seen;
};
