#include "FakeIdleCompositor.h"

#include <QUuid>

#include <wayland-server-protocol.h>

#include "ext-idle-notify-v1-server-protocol.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

FakeIdleCompositor::FakeIdleCompositor(Notifier notifier)
    : m_advertisedNotifier(ext_idle_notifier_v1_interface)
    , m_display(wl_display_create())
    , m_postedFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , m_socketName(QStringLiteral("lumatick-test-%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
{
    if (!m_display || m_postedFd < 0)
        return;
    if (wl_display_add_socket(m_display, m_socketName.toLocal8Bit().constData()) != 0)
        return;
    m_postedSource = wl_event_loop_add_fd(wl_display_get_event_loop(m_display), m_postedFd, WL_EVENT_READABLE,
                                          &FakeIdleCompositor::onPosted, this);
    advertise(notifier);
    m_thread = std::thread([display = m_display] { wl_display_run(display); });
}

FakeIdleCompositor::~FakeIdleCompositor()
{
    stop();
    if (m_postedSource)
        wl_event_source_remove(m_postedSource);
    if (m_display)
        wl_display_destroy(m_display);
    if (m_postedFd >= 0)
        close(m_postedFd);
}

void FakeIdleCompositor::stop()
{
    if (!m_thread.joinable())
        return;
    post([this] { wl_display_terminate(m_display); });
    m_thread.join();
    // The loop has stopped, so the display is ours again on this thread.
    wl_display_destroy_clients(m_display);
    wl_event_source_remove(m_postedSource);
    m_postedSource = nullptr;
    wl_display_destroy(m_display);
    m_display = nullptr;
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
    wl_global_create(m_display, &wl_seat_interface, 1, this, &FakeIdleCompositor::bindSeat);
    if (notifier == Notifier::Absent)
        return;
    m_advertisedNotifier.version = notifier == Notifier::Version2 ? 2 : 1;
    wl_global_create(m_display, &m_advertisedNotifier, m_advertisedNotifier.version, this,
                     &FakeIdleCompositor::bindNotifier);
}

// Commands reach the compositor thread through an eventfd its loop watches, because
// libwayland-server objects may only be touched from the thread running the display.
void FakeIdleCompositor::post(std::function<void()> command)
{
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(command));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_postedFd, &one, sizeof one);
}

void FakeIdleCompositor::runPosted()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_postedFd, &count, sizeof count);
    std::vector<std::function<void()>> commands;
    {
        const std::lock_guard lock(m_mutex);
        commands.swap(m_posted);
    }
    for (const std::function<void()>& command : commands)
        command();
}

void FakeIdleCompositor::sendToNotifications(void (*send)(wl_resource*))
{
    for (wl_resource* notification : m_notifications)
        send(notification);
}

int FakeIdleCompositor::onPosted(int, std::uint32_t, void* data)
{
    static_cast<FakeIdleCompositor*>(data)->runPosted();
    return 0;
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
