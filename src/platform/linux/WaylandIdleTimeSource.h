#pragma once

#include "Clock.h"
#include "IdleTimeSource.h"

#include <QDateTime>

#include <cstdint>
#include <memory>
#include <optional>

class WaylandConnection;
struct ext_idle_notification_v1;
struct ext_idle_notifier_v1;
struct wl_registry;
struct wl_seat;

// Idle time from a Wayland compositor's ext-idle-notify protocol (KWin, wlroots and others),
// over a wayland-client connection of our own, because Qt 6.4 exposes none and the
// application may run on xcb under Xwayland anyway. The compositor only says when the user
// became idle and when they came back, so the duration is computed here from the clock.
class WaylandIdleTimeSource : public IdleTimeSource {
public:
    // How long the user must be idle before the compositor reports it. Idle time shorter than
    // this is invisible (reported as 0) and the true idle time is now - idled + timeout, so
    // a short timeout keeps the blind spot small.
    // WORKAROUND: not zero, because KWin then sends a resumed/idled pair for every input event.
    static constexpr std::uint32_t notificationTimeoutMs = 1000;

    // Connects to displayName (empty: WAYLAND_DISPLAY) and asks for idle notifications on the
    // first seat. Null, after one log line, when no compositor answers or it offers no seat or
    // no ext_idle_notifier_v1. Blocks for at most a short start-up timeout.
    static std::unique_ptr<WaylandIdleTimeSource> create(Clock clock, const QString& displayName = {});

    ~WaylandIdleTimeSource() override;
    WaylandIdleTimeSource(const WaylandIdleTimeSource&) = delete;
    WaylandIdleTimeSource& operator=(const WaylandIdleTimeSource&) = delete;

    // 0 until the compositor reports idleness; nothing once the compositor is gone.
    std::optional<double> secondsSinceLastInput() override;
    QString name() const override;

private:
    WaylandIdleTimeSource(Clock clock, std::unique_ptr<WaylandConnection> connection);

    QString setUp();
    void markLost(const QString& reason);

    static void onGlobal(void* data, wl_registry* registry, std::uint32_t id, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t id);
    static void onIdled(void* data, ext_idle_notification_v1* notification);
    static void onResumed(void* data, ext_idle_notification_v1* notification);

    Clock m_clock;
    std::unique_ptr<WaylandConnection> m_connection;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    std::uint32_t m_seatId = 0;
    ext_idle_notifier_v1* m_notifier = nullptr;
    std::uint32_t m_notifierId = 0;
    ext_idle_notification_v1* m_notification = nullptr;
    std::optional<QDateTime> m_idledAt;
    bool m_lost = false;
};
