#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
sigset_t terminationSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}
} // namespace

void TerminationSignals::blockInAllThreads()
{
    const sigset_t set = terminationSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    const sigset_t set = terminationSet();
    m_descriptor = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_descriptor < 0)
        return;
    m_notifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
}

TerminationSignals::~TerminationSignals()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

void TerminationSignals::readPending()
{
    signalfd_siginfo info{};
    bool received = false;
    // Drain everything queued, so a second signal during the save does not wake us again.
    while (::read(m_descriptor, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        received = true;
    if (received)
        QCoreApplication::quit();
}
