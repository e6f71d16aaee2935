#include "FakeCompositorThread.h"

#include <QUuid>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

FakeCompositorThread::FakeCompositorThread()
    : m_display(wl_display_create())
    , m_postedFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , m_socketName(QStringLiteral("lumatick-test-%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
{}

FakeCompositorThread::~FakeCompositorThread()
{
    stop();
    if (m_postedSource)
        wl_event_source_remove(m_postedSource);
    if (m_display)
        wl_display_destroy(m_display);
    if (m_postedFd >= 0)
        close(m_postedFd);
}

void FakeCompositorThread::start(const std::function<void()>& advertise)
{
    if (!m_display || m_postedFd < 0)
        return;
    if (wl_display_add_socket(m_display, m_socketName.toLocal8Bit().constData()) != 0)
        return;
    m_postedSource = wl_event_loop_add_fd(wl_display_get_event_loop(m_display), m_postedFd, WL_EVENT_READABLE,
                                          &FakeCompositorThread::onPosted, this);
    advertise();
    m_thread = std::thread([display = m_display] { wl_display_run(display); });
}

void FakeCompositorThread::stop()
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

// Commands reach the compositor thread through an eventfd its loop watches, because
// libwayland-server objects may only be touched from the thread running the display.
void FakeCompositorThread::post(std::function<void()> command)
{
    {
        const std::lock_guard lock(m_postedMutex);
        m_posted.push_back(std::move(command));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_postedFd, &one, sizeof one);
}

void FakeCompositorThread::runPosted()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_postedFd, &count, sizeof count);
    std::vector<std::function<void()>> commands;
    {
        const std::lock_guard lock(m_postedMutex);
        commands.swap(m_posted);
    }
    for (const std::function<void()>& command : commands)
        command();
}

int FakeCompositorThread::onPosted(int, std::uint32_t, void* data)
{
    static_cast<FakeCompositorThread*>(data)->runPosted();
    return 0;
}
