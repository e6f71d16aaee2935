#include "FakeDesktopServices.h"

#include <QDBusError>
#include <QMutexLocker>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

FakeLogindManager::FakeLogindManager(QString sessionId, QString sessionPath)
    : m_sessionId(std::move(sessionId))
    , m_sessionPath(std::move(sessionPath))
{}

FakeLogindManager::~FakeLogindManager()
{
    for (int fd : m_writeEnds)
        ::close(fd);
}

int FakeLogindManager::inhibitCount() const
{
    QMutexLocker lock(&m_mutex);
    return static_cast<int>(m_writeEnds.size());
}

QStringList FakeLogindManager::lastInhibitArguments() const
{
    QMutexLocker lock(&m_mutex);
    return m_lastInhibitArguments;
}

// A pipe whose read ends are all closed reports an error condition on its write end.
bool FakeLogindManager::newestInhibitorHeld() const
{
    QMutexLocker lock(&m_mutex);
    if (m_writeEnds.empty())
        return false;
    pollfd writeEnd{m_writeEnds.back(), POLLOUT, 0};
    ::poll(&writeEnd, 1, 0);
    return (writeEnd.revents & (POLLERR | POLLHUP)) == 0;
}

QDBusUnixFileDescriptor FakeLogindManager::Inhibit(const QString& what, const QString& who,
                                                   const QString& why, const QString& mode)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        sendErrorReply(QDBusError::Failed, QStringLiteral("pipe failed"));
        return {};
    }
    // The descriptor object keeps a duplicate for the reply; ours is closed at once, so the
    // caller's copy is the only read end left.
    QDBusUnixFileDescriptor readEnd(ends[0]);
    ::close(ends[0]);
    QMutexLocker lock(&m_mutex);
    m_writeEnds.push_back(ends[1]);
    m_lastInhibitArguments = {what, who, why, mode};
    return readEnd;
}

QDBusObjectPath FakeLogindManager::GetSession(const QString& id)
{
    if (id != m_sessionId) {
        sendErrorReply(QStringLiteral("org.freedesktop.login1.NoSuchSession"),
                       QStringLiteral("No such session"));
        return {};
    }
    return QDBusObjectPath(m_sessionPath);
}

uint FakeScreenSaver::GetSessionIdleTime()
{
    if (m_notSupported) {
        sendErrorReply(QDBusError::NotSupported,
                       QStringLiteral("GetSessionIdleTime is not supported on this platform"));
        return 0;
    }
    return m_idleMs;
}
