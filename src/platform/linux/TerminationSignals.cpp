#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
constexpr int terminationSignals[] = {SIGTERM, SIGINT};

// A signal handler gets no context: the descriptor it wakes is the one thing kept outside an
// object, and only while a TerminationSignals lives.
std::atomic<int> wakeDescriptor{-1};

void wakeEventLoop(int)
{
    const int savedErrno = errno;
    const std::uint64_t one = 1;
    const ssize_t ignored = ::write(wakeDescriptor.load(), &one, sizeof one);
    static_cast<void>(ignored);
    errno = savedErrno;
}

void setAction(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : terminationSignals)
        sigaction(signal, &action, nullptr);
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    m_descriptor = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_descriptor < 0)
        return;
    wakeDescriptor.store(m_descriptor);
    m_notifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
    setAction(wakeEventLoop);
}

TerminationSignals::~TerminationSignals()
{
    if (m_descriptor < 0)
        return;
    setAction(SIG_DFL);
    wakeDescriptor.store(-1);
    ::close(m_descriptor);
}

// One read takes every signal counted so far, so a second one during the save does not wake
// us again.
void TerminationSignals::readPending()
{
    std::uint64_t received = 0;
    if (::read(m_descriptor, &received, sizeof received) == static_cast<ssize_t>(sizeof received) &&
        received > 0)
        QCoreApplication::quit();
}
