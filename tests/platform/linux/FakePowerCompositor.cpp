#include "FakePowerCompositor.h"

#include <QUuid>

#include <wayland-server-protocol.h>

#include "kde-dpms-server-protocol.h"
#include "wlr-output-power-management-unstable-v1-server-protocol.h"

#include <sys/eventfd.h>
#include <unistd.h>

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
    , m_display(wl_display_create())
    , m_postedFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , m_socketName(QStringLiteral("lumatick-test-%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
{
    if (!m_display || m_postedFd < 0)
        return;
    if (wl_display_add_socket(m_display, m_socketName.toLocal8Bit().constData()) != 0)
        return;
    m_postedSource = wl_event_loop_add_fd(wl_display_get_event_loop(m_display), m_postedFd, WL_EVENT_READABLE,
                                          &FakePowerCompositor::onPosted, this);
    advertise(manager, outputCount);
    m_thread = std::thread([display = m_display] { wl_display_run(display); });
}

FakePowerCompositor::~FakePowerCompositor()
{
    stop();
    if (m_postedSource)
        wl_event_source_remove(m_postedSource);
    if (m_display)
        wl_display_destroy(m_display);
    if (m_postedFd >= 0)
        close(m_postedFd);
}

void FakePowerCompositor::stop()
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
        wl_global_create(m_display, &org_kde_kwin_dpms_manager_interface, 1, this,
                         &FakePowerCompositor::bindKdeManager);
    if (manager == Manager::Wlroots || manager == Manager::Both)
        wl_global_create(m_display, &zwlr_output_power_manager_v1_interface, 1, this,
                         &FakePowerCompositor::bindWlrManager);
}

void FakePowerCompositor::createOutput(std::optional<std::uint32_t> mode)
{
    auto output = std::make_unique<Output>();
    output->compositor = this;
    output->index = static_cast<int>(m_outputs.size());
    output->mode = mode.value_or(m_manager == Manager::Wlroots ? wlrOn : kdeOn);
    output->global = wl_global_create(m_display, &wl_output_interface, outputVersion, output.get(),
                                      &FakePowerCompositor::bindOutput);
    m_outputs.push_back(std::move(output));
}

// Commands reach the compositor thread through an eventfd its loop watches, because
// libwayland-server objects may only be touched from the thread running the display.
void FakePowerCompositor::post(std::function<void()> command)
{
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(command));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_postedFd, &one, sizeof one);
}

void FakePowerCompositor::runPosted()
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

int FakePowerCompositor::onPosted(int, std::uint32_t, void* data)
{
    static_cast<FakePowerCompositor*>(data)->runPosted();
    return 0;
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
