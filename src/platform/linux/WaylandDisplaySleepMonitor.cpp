#include "WaylandDisplaySleepMonitor.h"

#include "SessionEvents.h"
#include "WaylandConnection.h"
#include "WaylandLogging.h"

#include <wayland-client.h>

#include "kde-dpms-client-protocol.h"
#include "wlr-output-power-management-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

// Both managers and their per-output objects exist in version 1 only.
constexpr std::uint32_t managerVersion = 1;
// Version 3 adds wl_output.release, which frees the compositor's side of a removed output.
constexpr std::uint32_t outputVersion = 3;
constexpr std::uint32_t kdeModeOn = ORG_KDE_KWIN_DPMS_MODE_ON;
constexpr std::uint32_t wlrModeOff = ZWLR_OUTPUT_POWER_V1_MODE_OFF;

} // namespace

struct WaylandDisplaySleepMonitor::Output {
    WaylandDisplaySleepMonitor* monitor = nullptr;
    std::uint32_t id = 0;
    wl_output* output = nullptr;
    org_kde_kwin_dpms* kdeDpms = nullptr;
    zwlr_output_power_v1* wlrPower = nullptr;
    // KWin sends a mode and then done; the mode only counts once done commits it.
    std::optional<std::uint32_t> pendingKdeMode;
    // Nothing until the compositor reports the mode, or after it stops reporting it.
    std::optional<bool> saving;
};

std::unique_ptr<WaylandDisplaySleepMonitor> WaylandDisplaySleepMonitor::create(SessionEvents& events,
                                                                               const QString& displayName)
{
    auto connection = WaylandConnection::connect(displayName, "No Wayland display sleep");
    if (!connection)
        return nullptr;
    // Not make_unique: the constructor is private so that only started monitors escape.
    std::unique_ptr<WaylandDisplaySleepMonitor> monitor(
        new WaylandDisplaySleepMonitor(events, std::move(connection)));
    monitor->start();
    return monitor;
}

WaylandDisplaySleepMonitor::WaylandDisplaySleepMonitor(SessionEvents& events,
                                                       std::unique_ptr<WaylandConnection> connection)
    : m_events(events)
    , m_connection(std::move(connection))
{}

WaylandDisplaySleepMonitor::~WaylandDisplaySleepMonitor()
{
    while (!m_outputs.empty())
        removeOutput(m_outputs.back()->id);
    if (m_kdeManager)
        org_kde_kwin_dpms_manager_destroy(m_kdeManager);
    if (m_wlrManager)
        zwlr_output_power_manager_v1_destroy(m_wlrManager);
    if (m_registry)
        wl_registry_destroy(m_registry);
}

// Asks for the globals and returns at once; they are handled whenever the compositor sends them.
void WaylandDisplaySleepMonitor::start()
{
    static const wl_registry_listener registryListener{&onGlobal, &onGlobalRemove};
    m_registry = wl_display_get_registry(m_connection->display());
    wl_registry_add_listener(m_registry, &registryListener, this);
    m_connection->whenAnswered([this] { onListed(); });
    m_connection->startDispatching([this](const QString& reason) { markLost(reason); });
}

// The first listing is complete. Without a power manager the connection is still watched: one
// announced later is taken up then.
void WaylandDisplaySleepMonitor::onListed()
{
    m_listed = true;
    if (!takeUp())
        qCInfo(lcWayland).nospace() << "No Wayland display sleep on " << m_connection->name()
                                    << " for now: the compositor offers neither org_kde_kwin_dpms_manager "
                                       "nor zwlr_output_power_manager_v1";
}

// Binds a manager and follows every output's power; false while no manager is offered. Before
// the first listing is complete nothing is bound, so KWin's manager wins whatever the order.
bool WaylandDisplaySleepMonitor::takeUp()
{
    if (m_kdeManager || m_wlrManager)
        return true;
    if (m_lost || !m_listed || (m_kdeManagerId == 0 && m_wlrManagerId == 0))
        return false;
    bindManager();
    for (const std::unique_ptr<Output>& output : m_outputs)
        watchPower(*output);
    qCInfo(lcWayland).noquote() << "Display sleep from" << protocolName();
    return true;
}

QString WaylandDisplaySleepMonitor::protocolName() const
{
    return m_protocol == Protocol::KdeDpms ? QStringLiteral("KDE output DPMS")
                                           : QStringLiteral("wlroots output power");
}

// Binds one manager only, so that a compositor offering both cannot report each output twice.
// KWin's is preferred because it tells standby and suspend apart from on.
void WaylandDisplaySleepMonitor::bindManager()
{
    if (m_kdeManagerId != 0) {
        m_protocol = Protocol::KdeDpms;
        m_kdeManager = static_cast<org_kde_kwin_dpms_manager*>(wl_registry_bind(
            m_registry, m_kdeManagerId, &org_kde_kwin_dpms_manager_interface, managerVersion));
    } else {
        m_protocol = Protocol::WlrOutputPower;
        m_wlrManager = static_cast<zwlr_output_power_manager_v1*>(wl_registry_bind(
            m_registry, m_wlrManagerId, &zwlr_output_power_manager_v1_interface, managerVersion));
    }
}

void WaylandDisplaySleepMonitor::addOutput(std::uint32_t id, std::uint32_t version)
{
    auto output = std::make_unique<Output>();
    output->monitor = this;
    output->id = id;
    output->output = static_cast<wl_output*>(
        wl_registry_bind(m_registry, id, &wl_output_interface, std::min(version, outputVersion)));
    // Before a manager is bound, takeUp watches every output at once.
    if (m_kdeManager || m_wlrManager)
        watchPower(*output);
    m_outputs.push_back(std::move(output));
}

void WaylandDisplaySleepMonitor::removeOutput(std::uint32_t id)
{
    const auto found = std::find_if(m_outputs.begin(), m_outputs.end(),
                                    [id](const std::unique_ptr<Output>& output) { return output->id == id; });
    if (found == m_outputs.end())
        return;
    Output& output = **found;
    releasePower(output);
    if (wl_output_get_version(output.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output.output);
    else
        wl_output_destroy(output.output);
    m_outputs.erase(found);
}

void WaylandDisplaySleepMonitor::watchPower(Output& output)
{
    static const org_kde_kwin_dpms_listener kdeListener{&onKdeSupported, &onKdeMode, &onKdeDone};
    static const zwlr_output_power_v1_listener wlrListener{&onWlrMode, &onWlrFailed};
    if (m_kdeManager) {
        output.kdeDpms = org_kde_kwin_dpms_manager_get(m_kdeManager, output.output);
        org_kde_kwin_dpms_add_listener(output.kdeDpms, &kdeListener, &output);
    } else if (m_wlrManager) {
        output.wlrPower = zwlr_output_power_manager_v1_get_output_power(m_wlrManager, output.output);
        zwlr_output_power_v1_add_listener(output.wlrPower, &wlrListener, &output);
    }
}

void WaylandDisplaySleepMonitor::releasePower(Output& output)
{
    if (output.kdeDpms)
        org_kde_kwin_dpms_release(output.kdeDpms);
    if (output.wlrPower)
        zwlr_output_power_v1_destroy(output.wlrPower);
    output.kdeDpms = nullptr;
    output.wlrPower = nullptr;
}

void WaylandDisplaySleepMonitor::setOutputSaving(Output& output, bool saving)
{
    output.saving = saving;
    update();
}

// An output whose power can no longer be followed stops having a say, as if it were removed.
void WaylandDisplaySleepMonitor::forgetOutputPower(Output& output)
{
    releasePower(output);
    output.saving.reset();
    update();
}

// Outputs of unknown power are left out: one just plugged in must not wake displays that are
// asleep before it reports its mode. With no output known, the last state stands.
void WaylandDisplaySleepMonitor::update()
{
    int known = 0;
    bool allSaving = true;
    for (const std::unique_ptr<Output>& output : m_outputs) {
        if (!output->saving)
            continue;
        ++known;
        allSaving = allSaving && *output->saving;
    }
    if (known > 0)
        setAsleep(allSaving);
}

void WaylandDisplaySleepMonitor::setAsleep(bool asleep)
{
    if (asleep == m_asleep)
        return;
    m_asleep = asleep;
    if (m_asleep)
        Q_EMIT m_events.screensDidSleep();
    else
        Q_EMIT m_events.screensDidWake();
}

// Without a compositor to ask, "asleep" would stand forever and hide all further screen time;
// a restarted compositor lights the displays anyway, so the sleep is withdrawn.
void WaylandDisplaySleepMonitor::markLost(const QString& reason)
{
    if (m_lost)
        return;
    m_lost = true;
    m_connection->stopDispatching();
    qCWarning(lcWayland).noquote() << "Wayland display sleep is no longer observed:" << reason;
    setAsleep(false);
}

void WaylandDisplaySleepMonitor::onGlobal(void* data, wl_registry*, std::uint32_t id, const char* interface,
                                          std::uint32_t version)
{
    auto* self = static_cast<WaylandDisplaySleepMonitor*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0)
        self->addOutput(id, version);
    else if (self->m_kdeManagerId == 0 &&
             std::strcmp(interface, org_kde_kwin_dpms_manager_interface.name) == 0)
        self->m_kdeManagerId = id;
    else if (self->m_wlrManagerId == 0 &&
             std::strcmp(interface, zwlr_output_power_manager_v1_interface.name) == 0)
        self->m_wlrManagerId = id;
    self->takeUp();
}

void WaylandDisplaySleepMonitor::onGlobalRemove(void* data, wl_registry*, std::uint32_t id)
{
    auto* self = static_cast<WaylandDisplaySleepMonitor*>(data);
    const bool managerInUse = (self->m_kdeManager && id == self->m_kdeManagerId) ||
                              (self->m_wlrManager && id == self->m_wlrManagerId);
    if (managerInUse) {
        self->markLost(QStringLiteral("the compositor withdrew the output power manager"));
        return;
    }
    self->removeOutput(id);
    self->update();
}

// An output without DPMS reports On, which is true: it never goes dark, so it is kept.
void WaylandDisplaySleepMonitor::onKdeSupported(void*, org_kde_kwin_dpms*, std::uint32_t) {}

void WaylandDisplaySleepMonitor::onKdeMode(void* data, org_kde_kwin_dpms*, std::uint32_t mode)
{
    static_cast<Output*>(data)->pendingKdeMode = mode;
}

void WaylandDisplaySleepMonitor::onKdeDone(void* data, org_kde_kwin_dpms*)
{
    auto* output = static_cast<Output*>(data);
    if (!output->pendingKdeMode)
        return;
    const bool saving = *output->pendingKdeMode != kdeModeOn;
    output->pendingKdeMode.reset();
    output->monitor->setOutputSaving(*output, saving);
}

void WaylandDisplaySleepMonitor::onWlrMode(void* data, zwlr_output_power_v1*, std::uint32_t mode)
{
    auto* output = static_cast<Output*>(data);
    output->monitor->setOutputSaving(*output, mode == wlrModeOff);
}

void WaylandDisplaySleepMonitor::onWlrFailed(void* data, zwlr_output_power_v1*)
{
    auto* output = static_cast<Output*>(data);
    qCInfo(lcWayland) << "The compositor stopped reporting the power of an output; it is left out";
    output->monitor->forgetOutputPower(*output);
}
