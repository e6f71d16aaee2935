#pragma once

#include <QString>

#include <wayland-server-core.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// What every fake compositor of the tests needs: a libwayland-server display listening on a
// socket of a fresh name, run on a thread of its own so the client under test can block on it,
// and a way for the test thread to run commands there. The socket lives in XDG_RUNTIME_DIR,
// which the test must point at a private directory.
class FakeCompositorThread {
public:
    FakeCompositorThread(const FakeCompositorThread&) = delete;
    FakeCompositorThread& operator=(const FakeCompositorThread&) = delete;

    bool isRunning() const { return m_thread.joinable(); }
    QString socketName() const { return m_socketName; }
    // Closes every client connection and the socket, as a crashing compositor would.
    void stop();

protected:
    FakeCompositorThread();
    // A compositor calls stop() in its own destructor, before the members that its resource
    // destructors touch are gone.
    ~FakeCompositorThread();

    // Creates the globals through advertise, then starts serving. Does nothing when the socket
    // could not be set up, which isRunning() then tells the test.
    void start(const std::function<void()>& advertise);
    // Runs command on the compositor thread; asynchronous.
    void post(std::function<void()> command);
    wl_display* display() const { return m_display; }

private:
    void runPosted();

    static int onPosted(int fd, std::uint32_t mask, void* data);

    wl_display* m_display = nullptr;
    wl_event_source* m_postedSource = nullptr;
    int m_postedFd = -1;
    QString m_socketName;
    std::thread m_thread;

    std::mutex m_postedMutex;
    std::vector<std::function<void()>> m_posted;
};
