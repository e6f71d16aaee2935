#pragma once

#include "FakeCompositorThread.h"

#include <wayland-server-core.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A minimal Wayland compositor offering outputs and KWin's DPMS manager, wlroots' output power
// manager, both or neither. The test switches outputs on and off, plugs and unplugs them.
class FakePowerCompositor : public FakeCompositorThread {
public:
    enum class Manager { None, Kde, Wlroots, Both };

    // The modes as each protocol numbers them.
    static constexpr std::uint32_t kdeOn = 0;
    static constexpr std::uint32_t kdeStandby = 1;
    static constexpr std::uint32_t kdeSuspend = 2;
    static constexpr std::uint32_t kdeOff = 3;
    static constexpr std::uint32_t wlrOff = 0;
    static constexpr std::uint32_t wlrOn = 1;

    // Every output starts on.
    explicit FakePowerCompositor(Manager manager, int outputCount = 1);
    ~FakePowerCompositor();
    FakePowerCompositor(const FakePowerCompositor&) = delete;
    FakePowerCompositor& operator=(const FakePowerCompositor&) = delete;

    // Outputs are numbered from 0 in the order they were added; numbers are never reused.
    // Without a mode the output starts on.
    int addOutput(std::optional<std::uint32_t> mode = std::nullopt);
    void removeOutput(int output);
    // Asynchronous, the client sees it when it reads. KWin's objects get the mode then done.
    void setMode(int output, std::uint32_t mode);
    // KWin's objects get every mode, then a single done.
    void setKdeModes(int output, const std::vector<std::uint32_t>& modes);
    // wlroots' objects of the output are told they are no longer valid.
    void sendFailed(int output);

    std::vector<std::string> boundManagers() const;
    int livePowerObjectCount() const;
    int livePowerObjectCount(int output) const;

private:
    struct Output;

    void advertise(Manager manager, int outputCount);
    void createOutput(std::optional<std::uint32_t> mode);
    void sendModes(Output& output, const std::vector<std::uint32_t>& modes);

    static void bindOutput(wl_client* client, void* data, std::uint32_t version, std::uint32_t id);
    static void bindKdeManager(wl_client* client, void* data, std::uint32_t version, std::uint32_t id);
    static void bindWlrManager(wl_client* client, void* data, std::uint32_t version, std::uint32_t id);
    static void getKdeDpms(wl_client* client, wl_resource* manager, std::uint32_t id, wl_resource* output);
    static void getWlrPower(wl_client* client, wl_resource* manager, std::uint32_t id, wl_resource* output);
    static void setKdeMode(wl_client* client, wl_resource* dpms, std::uint32_t mode);
    static void setWlrMode(wl_client* client, wl_resource* power, std::uint32_t mode);
    static void destroyResource(wl_client* client, wl_resource* resource);
    static void forgetPower(wl_resource* power);

    Manager m_manager;
    // Touched on the test thread only.
    int m_outputCount = 0;

    // Touched on the compositor thread only (or before it starts).
    std::vector<std::unique_ptr<Output>> m_outputs;

    mutable std::mutex m_mutex;
    std::vector<std::string> m_boundManagers;
    int m_livePowerObjects = 0;
    std::map<int, int> m_livePowerObjectsByOutput;
};
