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
// SIGHUP too: a counter started from a terminal gets it when the terminal closes.
constexpr int terminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

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

// A signal ignored from the start stays ignored: under nohup, or started in the background by
// a shell, the user chose that the hangup or the interrupt does not end the program.
bool isIgnored(int signal)
{
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void setAction(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    // A log line written after the reader of our output went away (the launcher that started
    // us, a closed `| tee`) fails instead of ending the counter. Qt's QProcess restores the
    // default in the programs it starts.
    setAction(SIGPIPE, SIG_IGN);
    m_descriptor = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_descriptor < 0)
        return;
    wakeDescriptor.store(m_descriptor);
    m_notifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
    for (const int signal : terminationSignals) {
        if (isIgnored(signal))
            continue;
        setAction(signal, wakeEventLoop);
        m_caught.push_back(signal);
    }
}

TerminationSignals::~TerminationSignals()
{
    setAction(SIGPIPE, SIG_DFL);
    if (m_descriptor < 0)
        return;
    for (const int signal : m_caught)
        setAction(signal, SIG_DFL);
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
