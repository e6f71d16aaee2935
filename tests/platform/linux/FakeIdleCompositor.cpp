#include "FakeIdleCompositor.h"

#include <wayland-server-protocol.h>

#include "ext-idle-notify-v1-server-protocol.h"
#include "kde-idle-server-protocol.h"

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
FakeIdleCompositor::FakeIdleCompositor(std::uint32_t notifierVersion, bool kdeIdle)
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
    if (kdeIdle)
        offerKdeIdle();
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
        if (!m_held) {
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
    std::ranges::for_each(m_kdeTimeouts, &org_kde_kwin_idle_timeout_send_idle);
}

void FakeIdleCompositor::sendResumed()
{
    const std::lock_guard lock(m_mutex);
    std::ranges::for_each(m_notifications, &ext_idle_notification_v1_send_resumed);
    std::ranges::for_each(m_kdeTimeouts, &org_kde_kwin_idle_timeout_send_resumed);
}

void FakeIdleCompositor::offerKdeIdle()
{
    const std::lock_guard lock(m_mutex);
    wl_global_create(m_display, &org_kde_kwin_idle_interface, 1, this, &bindKdeIdle);
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
    self->m_notifications.push_back(self->addNotification(
        client, ext_idle_notification_v1_interface, wl_resource_get_version(notifier), id, &implementation));
    self->m_seen.timeouts.push_back(timeout);
}

void FakeIdleCompositor::bindKdeIdle(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    static const struct org_kde_kwin_idle_interface implementation {
        &getIdleTimeout
    };
    wl_resource* idle =
        wl_resource_create(client, &org_kde_kwin_idle_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(idle, &implementation, data, nullptr);
}

void FakeIdleCompositor::getIdleTimeout(wl_client* client, wl_resource* idle, std::uint32_t id, wl_resource*,
                                        std::uint32_t timeout)
{
    static const struct org_kde_kwin_idle_timeout_interface implementation {
        &destroyResource, [](wl_client*, wl_resource*) {}
    };
    auto* self = static_cast<FakeIdleCompositor*>(wl_resource_get_user_data(idle));
    self->m_kdeTimeouts.push_back(
        self->addNotification(client, org_kde_kwin_idle_timeout_interface, 1, id, &implementation));
    self->m_seen.timeouts.push_back(timeout);
}

// A notification of either protocol, forgotten when the client destroys it.
wl_resource* FakeIdleCompositor::addNotification(wl_client* client, const wl_interface& interface,
                                                 int version, std::uint32_t id, const void* implementation)
{
    wl_resource* notification = wl_resource_create(client, &interface, version, id);
    wl_resource_set_implementation(notification, implementation, this, [](wl_resource* gone) {
        auto* self = static_cast<FakeIdleCompositor*>(wl_resource_get_user_data(gone));
        std::erase(self->m_notifications, gone);
        std::erase(self->m_kdeTimeouts, gone);
    });
    return notification;
}
