#include "FakeIdleCompositor.h"

#include <wayland-server-protocol.h>

#include "ext-idle-notify-v1-server-protocol.h"

#include <algorithm>

FakeIdleCompositor::FakeIdleCompositor(Notifier notifier)
    : m_advertisedNotifier(ext_idle_notifier_v1_interface)
{
    start([this, notifier] { advertise(notifier); });
}

// Stopped here: closing the clients destroys their notifications, whose destructor reaches
// members that are gone by the time the base class is destroyed.
FakeIdleCompositor::~FakeIdleCompositor()
{
    stop();
}

void FakeIdleCompositor::sendIdled()
{
    post([this] { sendToNotifications(&ext_idle_notification_v1_send_idled); });
}

void FakeIdleCompositor::sendResumed()
{
    post([this] { sendToNotifications(&ext_idle_notification_v1_send_resumed); });
}

std::vector<std::uint32_t> FakeIdleCompositor::requestedTimeouts() const
{
    const std::lock_guard lock(m_mutex);
    return m_requestedTimeouts;
}

std::vector<std::uint32_t> FakeIdleCompositor::boundNotifierVersions() const
{
    const std::lock_guard lock(m_mutex);
    return m_boundNotifierVersions;
}

int FakeIdleCompositor::liveNotificationCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_liveNotifications;
}

void FakeIdleCompositor::advertise(Notifier notifier)
{
    wl_global_create(display(), &wl_seat_interface, 1, this, &FakeIdleCompositor::bindSeat);
    if (notifier == Notifier::Absent)
        return;
    m_advertisedNotifier.version = notifier == Notifier::Version2 ? 2 : 1;
    wl_global_create(display(), &m_advertisedNotifier, m_advertisedNotifier.version, this,
                     &FakeIdleCompositor::bindNotifier);
}

void FakeIdleCompositor::sendToNotifications(void (*send)(wl_resource*))
{
    for (wl_resource* notification : m_notifications)
        send(notification);
}

void FakeIdleCompositor::bindSeat(wl_client* client, void*, std::uint32_t version, std::uint32_t id)
{
    // No requests are implemented: the client under test never asks for input devices.
    wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
}

void FakeIdleCompositor::bindNotifier(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    static const struct ext_idle_notifier_v1_interface implementation {
        &destroyResource, &getIdleNotification
    };
    auto* self = static_cast<FakeIdleCompositor*>(data);
    {
        const std::lock_guard lock(self->m_mutex);
        self->m_boundNotifierVersions.push_back(version);
    }
    wl_resource* notifier =
        wl_resource_create(client, &ext_idle_notifier_v1_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(notifier, &implementation, self, nullptr);
}

void FakeIdleCompositor::getIdleNotification(wl_client* client, wl_resource* notifier, std::uint32_t id,
                                             std::uint32_t timeout, wl_resource*)
{
    static const struct ext_idle_notification_v1_interface implementation {
        &destroyResource
    };
    auto* self = static_cast<FakeIdleCompositor*>(wl_resource_get_user_data(notifier));
    wl_resource* notification = wl_resource_create(client, &ext_idle_notification_v1_interface,
                                                   wl_resource_get_version(notifier), id);
    wl_resource_set_implementation(notification, &implementation, self, &forgetNotification);
    self->m_notifications.push_back(notification);
    const std::lock_guard lock(self->m_mutex);
    self->m_requestedTimeouts.push_back(timeout);
    ++self->m_liveNotifications;
}

void FakeIdleCompositor::destroyResource(wl_client*, wl_resource* resource)
{
    wl_resource_destroy(resource);
}

void FakeIdleCompositor::forgetNotification(wl_resource* notification)
{
    auto* self = static_cast<FakeIdleCompositor*>(wl_resource_get_user_data(notification));
    std::erase(self->m_notifications, notification);
    const std::lock_guard lock(self->m_mutex);
    --self->m_liveNotifications;
}
