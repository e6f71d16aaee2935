#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class SessionEvents;
class WaylandConnection;
struct org_kde_kwin_dpms;
struct org_kde_kwin_dpms_manager;
struct wl_output;
struct wl_registry;
struct zwlr_output_power_manager_v1;
struct zwlr_output_power_v1;

// Display sleep on Wayland from the compositor's per-output power protocol: KWin's
// org_kde_kwin_dpms_manager or wlroots' zwlr_output_power_manager_v1, over a wayland-client
// connection of our own because Qt 6.4 exposes none. The displays count as asleep when every
// output whose power mode is known is in a power-saving mode (KWin: standby, suspend or off;
// wlroots: off). Each change becomes screensDidSleep or screensDidWake.
class WaylandDisplaySleepMonitor {
public:
    enum class Protocol { KdeDpms, WlrOutputPower };

    // Connects to displayName (empty: WAYLAND_DISPLAY) and follows the power mode of every
    // output from whenever the compositor offers a power protocol, however late; nothing waits
    // for it. Null, after one log line, only when there is no compositor to connect to. The
    // events must outlive the monitor.
    static std::unique_ptr<WaylandDisplaySleepMonitor> create(SessionEvents& events,
                                                              const QString& displayName = {});

    ~WaylandDisplaySleepMonitor();
    WaylandDisplaySleepMonitor(const WaylandDisplaySleepMonitor&) = delete;
    WaylandDisplaySleepMonitor& operator=(const WaylandDisplaySleepMonitor&) = delete;

    // "KDE output DPMS" or "wlroots output power"; meaningful while observing.
    QString protocolName() const;
    bool isAsleep() const { return m_asleep; }
    // True from when a power protocol is bound until the compositor goes or withdraws it.
    bool isObserving() const { return (m_kdeManager || m_wlrManager) && !m_lost; }

private:
    struct Output;

    WaylandDisplaySleepMonitor(SessionEvents& events, std::unique_ptr<WaylandConnection> connection);

    void start();
    void onListed();
    bool takeUp();
    void bindManager();
    void addOutput(std::uint32_t id, std::uint32_t version);
    void removeOutput(std::uint32_t id);
    void watchPower(Output& output);
    void releasePower(Output& output);
    void setOutputSaving(Output& output, bool saving);
    void forgetOutputPower(Output& output);
    void update();
    void setAsleep(bool asleep);
    void markLost(const QString& reason);

    static void onGlobal(void* data, wl_registry* registry, std::uint32_t id, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t id);
    static void onKdeSupported(void* data, org_kde_kwin_dpms* dpms, std::uint32_t supported);
    static void onKdeMode(void* data, org_kde_kwin_dpms* dpms, std::uint32_t mode);
    static void onKdeDone(void* data, org_kde_kwin_dpms* dpms);
    static void onWlrMode(void* data, zwlr_output_power_v1* power, std::uint32_t mode);
    static void onWlrFailed(void* data, zwlr_output_power_v1* power);

    SessionEvents& m_events;
    std::unique_ptr<WaylandConnection> m_connection;
    wl_registry* m_registry = nullptr;
    Protocol m_protocol = Protocol::KdeDpms;
    std::uint32_t m_kdeManagerId = 0;
    std::uint32_t m_wlrManagerId = 0;
    org_kde_kwin_dpms_manager* m_kdeManager = nullptr;
    zwlr_output_power_manager_v1* m_wlrManager = nullptr;
    std::vector<std::unique_ptr<Output>> m_outputs;
    bool m_asleep = false;
    bool m_listed = false;
    bool m_lost = false;
};
