#include "FakePowerCompositor.h"

#include <wayland-server-protocol.h>

#include "kde-dpms-server-protocol.h"
#include "wlr-output-power-management-unstable-v1-server-protocol.h"

#include <algorithm>

namespace {

constexpr int outputVersion = 3;

} // namespace

struct FakePowerCompositor::Output {
    FakePowerCompositor* compositor = nullptr;
    int index = 0;
    // Null once the output is unplugged; the clients' objects for it live on until released.
    wl_global* global = nullptr;
    // The mode the power objects were last told, in the numbering of the offered protocol
    // (KWin's when both are offered).
    std::uint32_t mode = 0;
    std::vector<wl_resource*> kdeDpms;
    std::vector<wl_resource*> wlrPowers;
};

FakePowerCompositor::FakePowerCompositor(Manager manager, int outputCount)
    : m_manager(manager)
{
    start([this, manager, outputCount] { advertise(manager, outputCount); });
}

// Stopped here: closing the clients destroys their power objects, whose destructor reaches
// the outputs, which are gone by the time the base class is destroyed.
FakePowerCompositor::~FakePowerCompositor()
{
    stop();
}

int FakePowerCompositor::addOutput(std::optional<std::uint32_t> mode)
{
    post([this, mode] { createOutput(mode); });
    return m_outputCount++;
}

void FakePowerCompositor::removeOutput(int output)
{
    post([this, output] {
        Output& removed = *m_outputs.at(static_cast<std::size_t>(output));
        wl_global_destroy(removed.global);
        removed.global = nullptr;
    });
}

void FakePowerCompositor::setMode(int output, std::uint32_t mode)
{
    setKdeModes(output, {mode});
}

void FakePowerCompositor::setKdeModes(int output, const std::vector<std::uint32_t>& modes)
{
    post([this, output, modes] { sendModes(*m_outputs.at(static_cast<std::size_t>(output)), modes); });
}

void FakePowerCompositor::sendFailed(int output)
{
    post([this, output] {
        for (wl_resource* power : m_outputs.at(static_cast<std::size_t>(output))->wlrPowers)
            zwlr_output_power_v1_send_failed(power);
    });
}

std::vector<std::string> FakePowerCompositor::boundManagers() const
{
    const std::lock_guard lock(m_mutex);
    return m_boundManagers;
}

int FakePowerCompositor::livePowerObjectCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_livePowerObjects;
}

int FakePowerCompositor::livePowerObjectCount(int output) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_livePowerObjectsByOutput.find(output);
    return found == m_livePowerObjectsByOutput.end() ? 0 : found->second;
}

void FakePowerCompositor::advertise(Manager manager, int outputCount)
{
    for (; m_outputCount < outputCount; ++m_outputCount)
        createOutput(std::nullopt);
    if (manager == Manager::Kde || manager == Manager::Both)
        wl_global_create(display(), &org_kde_kwin_dpms_manager_interface, 1, this,
                         &FakePowerCompositor::bindKdeManager);
    if (manager == Manager::Wlroots || manager == Manager::Both)
        wl_global_create(display(), &zwlr_output_power_manager_v1_interface, 1, this,
                         &FakePowerCompositor::bindWlrManager);
}

void FakePowerCompositor::createOutput(std::optional<std::uint32_t> mode)
{
    auto output = std::make_unique<Output>();
    output->compositor = this;
    output->index = static_cast<int>(m_outputs.size());
    output->mode = mode.value_or(m_manager == Manager::Wlroots ? wlrOn : kdeOn);
    output->global = wl_global_create(display(), &wl_output_interface, outputVersion, output.get(),
                                      &FakePowerCompositor::bindOutput);
    m_outputs.push_back(std::move(output));
}

void FakePowerCompositor::sendModes(Output& output, const std::vector<std::uint32_t>& modes)
{
    if (modes.empty())
        return;
    output.mode = modes.back();
    for (wl_resource* power : output.wlrPowers)
        zwlr_output_power_v1_send_mode(power, output.mode);
    for (wl_resource* dpms : output.kdeDpms) {
        for (const std::uint32_t mode : modes)
            org_kde_kwin_dpms_send_mode(dpms, mode);
        org_kde_kwin_dpms_send_done(dpms);
    }
}

void FakePowerCompositor::bindOutput(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    // Only release is implemented: the client under test never looks at geometry or modes.
    static const struct wl_output_interface implementation {
        &destroyResource
    };
    wl_resource* output = wl_resource_create(client, &wl_output_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(output, &implementation, data, nullptr);
}

void FakePowerCompositor::bindKdeManager(wl_client* client, void* data, std::uint32_t version,
                                         std::uint32_t id)
{
    static const struct org_kde_kwin_dpms_manager_interface implementation {
        &getKdeDpms
    };
    auto* self = static_cast<FakePowerCompositor*>(data);
    {
        const std::lock_guard lock(self->m_mutex);
        self->m_boundManagers.emplace_back(org_kde_kwin_dpms_manager_interface.name);
    }
    wl_resource* manager =
        wl_resource_create(client, &org_kde_kwin_dpms_manager_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(manager, &implementation, self, nullptr);
}

void FakePowerCompositor::bindWlrManager(wl_client* client, void* data, std::uint32_t version,
                                         std::uint32_t id)
{
    static const struct zwlr_output_power_manager_v1_interface implementation {
        &getWlrPower, &destroyResource
    };
    auto* self = static_cast<FakePowerCompositor*>(data);
    {
        const std::lock_guard lock(self->m_mutex);
        self->m_boundManagers.emplace_back(zwlr_output_power_manager_v1_interface.name);
    }
    wl_resource* manager =
        wl_resource_create(client, &zwlr_output_power_manager_v1_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(manager, &implementation, self, nullptr);
}

void FakePowerCompositor::getKdeDpms(wl_client* client, wl_resource* manager, std::uint32_t id,
                                     wl_resource* outputResource)
{
    static const struct org_kde_kwin_dpms_interface implementation {
        &setKdeMode, &destroyResource
    };
    auto* output = static_cast<Output*>(wl_resource_get_user_data(outputResource));
    wl_resource* dpms =
        wl_resource_create(client, &org_kde_kwin_dpms_interface, wl_resource_get_version(manager), id);
    wl_resource_set_implementation(dpms, &implementation, output, &forgetPower);
    output->kdeDpms.push_back(dpms);
    {
        const std::lock_guard lock(output->compositor->m_mutex);
        ++output->compositor->m_livePowerObjects;
        ++output->compositor->m_livePowerObjectsByOutput[output->index];
    }
    // As KWin does: the whole state, committed by done, right after creation.
    org_kde_kwin_dpms_send_supported(dpms, 1);
    org_kde_kwin_dpms_send_mode(dpms, output->mode);
    org_kde_kwin_dpms_send_done(dpms);
}

void FakePowerCompositor::getWlrPower(wl_client* client, wl_resource* manager, std::uint32_t id,
                                      wl_resource* outputResource)
{
    static const struct zwlr_output_power_v1_interface implementation {
        &setWlrMode, &destroyResource
    };
    auto* output = static_cast<Output*>(wl_resource_get_user_data(outputResource));
    wl_resource* power =
        wl_resource_create(client, &zwlr_output_power_v1_interface, wl_resource_get_version(manager), id);
    wl_resource_set_implementation(power, &implementation, output, &forgetPower);
    output->wlrPowers.push_back(power);
    {
        const std::lock_guard lock(output->compositor->m_mutex);
        ++output->compositor->m_livePowerObjects;
        ++output->compositor->m_livePowerObjectsByOutput[output->index];
    }
    zwlr_output_power_v1_send_mode(power, output->mode);
}

// The client under test only watches; a request to change the mode is accepted and ignored.
void FakePowerCompositor::setKdeMode(wl_client*, wl_resource*, std::uint32_t) {}

void FakePowerCompositor::setWlrMode(wl_client*, wl_resource*, std::uint32_t) {}

void FakePowerCompositor::destroyResource(wl_client*, wl_resource* resource)
{
    wl_resource_destroy(resource);
}

void FakePowerCompositor::forgetPower(wl_resource* power)
{
    auto* output = static_cast<Output*>(wl_resource_get_user_data(power));
    std::erase(output->kdeDpms, power);
    std::erase(output->wlrPowers, power);
    const std::lock_guard lock(output->compositor->m_mutex);
    --output->compositor->m_livePowerObjects;
    --output->compositor->m_livePowerObjectsByOutput[output->index];
}
