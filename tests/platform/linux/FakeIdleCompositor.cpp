#include "FakeIdleCompositor.h"

#include <wayland-server-protocol.h>

#include "ext-idle-notify-v1-server-protocol.h"

#include <QUuid>

#include <algorithm>
#include <chrono>

namespace {

void destroyResource(wl_client*, wl_resource* resource)
{
    wl_resource_destroy(resource);
}

} // namespace

// The notifier is offered under its name at a version the generated v1 tables cannot state,
// to check that the client binds no more than it understands.
FakeIdleCompositor::FakeIdleCompositor(std::uint32_t notifierVersion)
    : m_advertisedNotifier(ext_idle_notifier_v1_interface)
    , m_socketName(QStringLiteral("lumatick-test-%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
{
    if (!m_display || wl_display_add_socket(m_display, m_socketName.toLocal8Bit().constData()) != 0)
        return;
    wl_global_create(m_display, &wl_seat_interface, 1, this,
                     [](wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
                         wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
                     });
    m_advertisedNotifier.version = static_cast<int>(notifierVersion);
    if (notifierVersion > 0)
        wl_global_create(m_display, &m_advertisedNotifier, m_advertisedNotifier.version, this, &bindNotifier);
    m_thread = std::thread([this] { serve(); });
}

FakeIdleCompositor::~FakeIdleCompositor()
{
    stop();
    if (m_display)
        wl_display_destroy(m_display);
}

// Libwayland-server is not thread-safe: the loop and the test's commands take turns under the
// mutex, and what a command sends goes out on the loop's next turn.
void FakeIdleCompositor::serve()
{
    while (m_running) {
        {
            const std::lock_guard lock(m_mutex);
            wl_event_loop_dispatch(wl_display_get_event_loop(m_display), 0);
            wl_display_flush_clients(m_display);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void FakeIdleCompositor::stop()
{
    if (!m_thread.joinable())
        return;
    m_running = false;
    m_thread.join();
    wl_display_destroy_clients(m_display);
}

void FakeIdleCompositor::sendIdled()
{
    const std::lock_guard lock(m_mutex);
    std::ranges::for_each(m_notifications, &ext_idle_notification_v1_send_idled);
}

void FakeIdleCompositor::sendResumed()
{
    const std::lock_guard lock(m_mutex);
    std::ranges::for_each(m_notifications, &ext_idle_notification_v1_send_resumed);
}

FakeIdleCompositor::Seen FakeIdleCompositor::seen() const
{
    const std::lock_guard lock(m_mutex);
    return m_seen;
}

void FakeIdleCompositor::bindNotifier(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    static const struct ext_idle_notifier_v1_interface implementation {
        &destroyResource, &getNotification
    };
    auto* self = static_cast<FakeIdleCompositor*>(data);
    self->m_seen.boundVersions.push_back(version);
    wl_resource* notifier =
        wl_resource_create(client, &ext_idle_notifier_v1_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(notifier, &implementation, self, nullptr);
}

void FakeIdleCompositor::getNotification(wl_client* client, wl_resource* notifier, std::uint32_t id,
                                         std::uint32_t timeout, wl_resource*)
{
    static const struct ext_idle_notification_v1_interface implementation {
        &destroyResource
    };
    auto* self = static_cast<FakeIdleCompositor*>(wl_resource_get_user_data(notifier));
    wl_resource* notification = wl_resource_create(client, &ext_idle_notification_v1_interface,
                                                   wl_resource_get_version(notifier), id);
    wl_resource_set_implementation(notification, &implementation, self, [](wl_resource* gone) {
        std::erase(static_cast<FakeIdleCompositor*>(wl_resource_get_user_data(gone))->m_notifications, gone);
    });
    self->m_notifications.push_back(notification);
    self->m_seen.timeouts.push_back(timeout);
}
