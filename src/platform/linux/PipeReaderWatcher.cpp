#include "PipeReaderWatcher.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>

PipeReaderWatcher::PipeReaderWatcher(FILE* stream, QObject* parent)
    : QObject(parent)
    , m_descriptor(fileno(stream))
{
    struct stat status {};
    if (m_descriptor < 0 || fstat(m_descriptor, &status) != 0 || !S_ISFIFO(status.st_mode) ||
        (fcntl(m_descriptor, F_GETFL) & O_ACCMODE) != O_WRONLY)
        return;
    // The write-only end of a pipe never turns readable; the kernel reports an error on it,
    // which wakes a read notifier, once the last reader has closed its end.
    m_notifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PipeReaderWatcher::check);
}

void PipeReaderWatcher::check()
{
    pollfd descriptor{m_descriptor, 0, 0};
    if (poll(&descriptor, 1, 0) <= 0 || (descriptor.revents & (POLLERR | POLLHUP)) == 0)
        return;
    m_notifier->setEnabled(false);
    Q_EMIT readerGone();
}
