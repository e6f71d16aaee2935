#pragma once

#include "Clock.h"
#include "IdleTimeSource.h"

#include <QDateTime>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class WaylandConnection;
struct ext_idle_notification_v1;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;
struct wl_registry;
struct wl_seat;

// Idle time from a Wayland compositor: its ext-idle-notify protocol (KWin 5.27 and later,
// wlroots 0.17 and later), else KWin's older org_kde_kwin_idle (KWin 5, sway up to 1.7), over
// a wayland-client connection of our own, because Qt 6.4 exposes none and the application
// may run on xcb under Xwayland anyway. The compositor only says when the user became idle
// and when they came back, so the duration is computed here from the clock.
//
// Nothing waits for the compositor: the source answers from the moment its globals arrive,
// however late (KWin's first reply grows with the size of our executable), and a protocol
// offered only later is taken up then.
class WaylandIdleTimeSource : public IdleTimeSource {
public:
    enum class Protocol { ExtIdleNotify, KdeIdle };

    // How long the user must be idle before the compositor reports it. Idle time shorter than
    // this is invisible (reported as 0) and the true idle time is now - idled + timeout, so
    // a short timeout keeps the blind spot small.
    // WORKAROUND: not zero, because KWin then sends a resumed/idled pair for every input event.
    static constexpr std::uint32_t notificationTimeoutMs = 1000;

    // Connects to displayName (empty: WAYLAND_DISPLAY) and asks for the compositor's globals.
    // Null, after one log line, only when there is no compositor to connect to.
    static std::unique_ptr<WaylandIdleTimeSource> create(Clock clock, const QString& displayName = {});

    ~WaylandIdleTimeSource() override;
    WaylandIdleTimeSource(const WaylandIdleTimeSource&) = delete;
    WaylandIdleTimeSource& operator=(const WaylandIdleTimeSource&) = delete;

    // Nothing until the compositor offers a seat and an idle protocol, and once it is gone;
    // then 0 until it reports idleness.
    std::optional<double> secondsSinceLastInput() override;
    QString name() const override;

    // True once the compositor has listed its globals, whether or not they include one we use.
    bool hasListedGlobals() const { return m_listed; }
    // Called once the globals are first listed and the source answers or cannot yet, and
    // whenever it starts or stops answering after that.
    void setOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }

private:
    WaylandIdleTimeSource(Clock clock, std::unique_ptr<WaylandConnection> connection);

    void start();
    void onListed();
    bool takeUp();
    void requestNotifications();
    QString missingGlobals() const;
    void markLost(const QString& reason);
    void notifyChanged();

    static void onGlobal(void* data, wl_registry* registry, std::uint32_t id, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t id);
    static void onIdled(void* data);
    static void onResumed(void* data);

    Clock m_clock;
    std::unique_ptr<WaylandConnection> m_connection;
    std::function<void()> m_onChanged;
    wl_registry* m_registry = nullptr;
    // Global names as announced (0: not offered) and the version offered of the ext notifier.
    std::uint32_t m_seatId = 0;
    std::uint32_t m_extNotifierId = 0;
    std::uint32_t m_extNotifierVersion = 0;
    std::uint32_t m_kdeIdleId = 0;
    // Bound once a seat and an idle protocol are both offered.
    Protocol m_protocol = Protocol::ExtIdleNotify;
    wl_seat* m_seat = nullptr;
    ext_idle_notifier_v1* m_extNotifier = nullptr;
    ext_idle_notification_v1* m_extNotification = nullptr;
    org_kde_kwin_idle* m_kdeIdle = nullptr;
    org_kde_kwin_idle_timeout* m_kdeTimeout = nullptr;
    std::optional<QDateTime> m_idledAt;
    bool m_listed = false;
    bool m_accepted = false;
    bool m_lost = false;
};
