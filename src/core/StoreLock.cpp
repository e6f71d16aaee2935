#include "StoreLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {
// Below one block nothing can be written, the lock's few bytes included.
constexpr qint64 fullDiskBytes = 4096;
} // namespace

StoreLock::StoreLock(const QString& directory)
    : m_directory(directory)
    , m_file(QDir(directory).filePath(QString::fromLatin1(fileName)))
{
    // Only a dead owner makes a lock stale, never its age: the counter holds it for weeks, and
    // a clock set forward must not hand it to a second process.
    m_file.setStaleLockTime(0);
}

StoreLock::Outcome StoreLock::tryLock()
{
    if (m_directory.isEmpty() || !QDir().mkpath(m_directory)) {
        m_description = failureText();
        return Outcome::failed;
    }
    if (m_file.tryLock(0) || takeOverOwnProcessId())
        return Outcome::locked;
    if (m_file.error() == QLockFile::LockFailedError) {
        m_description = alreadyRunningText();
        return Outcome::heldElsewhere;
    }
    m_description = failureText();
    return Outcome::failed;
}

bool StoreLock::mayBeHeld() const
{
    return !m_directory.isEmpty() &&
           QFileInfo::exists(QDir(m_directory).filePath(QString::fromLatin1(fileName)));
}

// In a sandbox the process ids start again at each launch, so a lock left by a killed run can
// name our own id. Qt then sees a live owner; the file lock it holds tells the truth, and
// removing fails while any process, this one included, still holds it.
bool StoreLock::takeOverOwnProcessId()
{
    qint64 owner = 0;
    if (m_file.error() != QLockFile::LockFailedError || !m_file.getLockInfo(&owner, nullptr, nullptr) ||
        owner != QCoreApplication::applicationPid())
        return false;
    return m_file.removeStaleLockFile() && m_file.tryLock(0);
}

QString StoreLock::alreadyRunningText() const
{
    qint64 owner = 0;
    if (!m_file.getLockInfo(&owner, nullptr, nullptr))
        return QStringLiteral("Lumatick is already running; this start ends here.");
    return QStringLiteral("Lumatick is already running (process %1); this start ends here.").arg(owner);
}

QString StoreLock::failureText() const
{
    if (m_directory.isEmpty())
        return QStringLiteral("No data directory could be determined for this user.");
    const QString folder = QDir::toNativeSeparators(m_directory);
    if (!QDir(m_directory).exists())
        return QStringLiteral("%1: the data directory could not be created.").arg(folder);
    if (m_file.error() == QLockFile::PermissionError)
        return QStringLiteral("%1: the data directory is not writable.").arg(folder);
    if (QStorageInfo(m_directory).bytesAvailable() < fullDiskBytes)
        return QStringLiteral("%1: the disk is full.").arg(folder);
    return QStringLiteral("%1: the lock file %2 could not be created.")
        .arg(folder, QString::fromLatin1(fileName));
}
