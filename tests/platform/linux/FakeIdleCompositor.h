#pragma once

#include "FakeCompositorThread.h"

#include <wayland-server-core.h>

#include <cstdint>
#include <mutex>
#include <vector>

// A minimal Wayland compositor offering a seat and, optionally, ext_idle_notifier_v1. The test
// decides when the user goes idle or comes back, and reads what the client asked for.
class FakeIdleCompositor : public FakeCompositorThread {
public:
    enum class Notifier { Absent, Version1, Version2 };

    explicit FakeIdleCompositor(Notifier notifier = Notifier::Version1);
    ~FakeIdleCompositor();
    FakeIdleCompositor(const FakeIdleCompositor&) = delete;
    FakeIdleCompositor& operator=(const FakeIdleCompositor&) = delete;

    // Sent to every live notification; asynchronous, the client sees them when it reads.
    void sendIdled();
    void sendResumed();

    std::vector<std::uint32_t> requestedTimeouts() const;
    std::vector<std::uint32_t> boundNotifierVersions() const;
    int liveNotificationCount() const;

private:
    void advertise(Notifier notifier);
    void sendToNotifications(void (*send)(wl_resource*));

    static void bindSeat(wl_client* client, void* data, std::uint32_t version, std::uint32_t id);
    static void bindNotifier(wl_client* client, void* data, std::uint32_t version, std::uint32_t id);
    static void getIdleNotification(wl_client* client, wl_resource* notifier, std::uint32_t id,
                                    std::uint32_t timeout, wl_resource* seat);
    static void destroyResource(wl_client* client, wl_resource* resource);
    static void forgetNotification(wl_resource* notification);

    // Offered under the notifier's name at a version the generated v1 tables cannot state,
    // to check that the client binds no more than it understands.
    wl_interface m_advertisedNotifier;

    // Touched on the compositor thread only.
    std::vector<wl_resource*> m_notifications;

    mutable std::mutex m_mutex;
    std::vector<std::uint32_t> m_requestedTimeouts;
    std::vector<std::uint32_t> m_boundNotifierVersions;
    int m_liveNotifications = 0;
};
