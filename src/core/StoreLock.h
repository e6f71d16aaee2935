#pragma once

#include <QLockFile>
#include <QString>

// One writer per store: a lock file beside it, taken before the store is opened and held for
// the life of the process, whether or not a session bus decides the hand-over. A lock left
// behind by a process that died (kill -9, a crash, a power cut) is taken over.
class StoreLock {
public:
    enum class Outcome { locked, heldElsewhere, failed };

    static constexpr const char* fileName = "default.store.lock";

    explicit StoreLock(const QString& directory);

    Outcome tryLock();
    // Whether any process may hold the lock, without taking it: its file exists. A dead
    // owner's file counts too; only its absence proves that nobody writes the store.
    bool mayBeHeld() const;
    // After heldElsewhere: the one line that says Lumatick already runs. After failed: the
    // folder and why the lock could not be created there.
    QString description() const { return m_description; }

private:
    bool takeOverOwnProcessId();
    QString alreadyRunningText() const;
    QString failureText() const;

    QString m_directory;
    QLockFile m_file;
    QString m_description;
};
