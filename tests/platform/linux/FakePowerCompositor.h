#pragma once

#include <QString>

#include <wayland-server-core.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A minimal Wayland compositor offering outputs and KWin's DPMS manager, wlroots' output power
// manager, both or neither, served by libwayland-server on a thread of its own so the client
// under test can block on it. The test switches outputs on and off, plugs and unplugs them.
// Its socket lives in XDG_RUNTIME_DIR, which the test must point at a private directory.
class FakePowerCompositor {
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

    bool isRunning() const { return m_thread.joinable(); }
    QString socketName() const { return m_socketName; }
    // Closes every client connection and the socket, as a crashing compositor would.
    void stop();

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
    void post(std::function<void()> command);
    void runPosted();
    void sendModes(Output& output, const std::vector<std::uint32_t>& modes);

    static int onPosted(int fd, std::uint32_t mask, void* data);
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
    wl_display* m_display = nullptr;
    wl_event_source* m_postedSource = nullptr;
    int m_postedFd = -1;
    QString m_socketName;
    std::thread m_thread;
    // Touched on the test thread only.
    int m_outputCount = 0;

    // Touched on the compositor thread only (or before it starts).
    std::vector<std::unique_ptr<Output>> m_outputs;

    mutable std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
    std::vector<std::string> m_boundManagers;
    int m_livePowerObjects = 0;
    std::map<int, int> m_livePowerObjectsByOutput;
};
