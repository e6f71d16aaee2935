#pragma once

#include "RecordStore.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class Preferences;

// Opens the record store at start-up. Only a store proven unreadable (not SQLite, damaged,
// written by a newer version) is moved aside under a time-stamped name, never destroyed, and
// a fresh store is created. Any other failure (busy, full disk, permission, I/O) passes with
// the history where it is: moving an intact store aside would hide it from the next start.
class StoreOpener {
public:
    struct Result {
        std::unique_ptr<RecordStore> store;
        // The store's path and why it could not be opened; empty on success.
        QString errorDescription;
        // Files renamed by the recovery, for the log and the alert.
        QStringList movedAside;
    };

    static constexpr const char* storeFileNames[] = {"default.store", "default.store-shm",
                                                     "default.store-wal"};

    StoreOpener(QString directory, const Preferences& preferences);

    // $XDG_DATA_HOME/Brightlet/Lumatick; empty when no data location can be determined.
    static QString defaultDirectory();

    // How long a save waits for another writer (an import) before it counts as failed.
    void setBusyTimeoutMilliseconds(int milliseconds) { m_busyTimeoutMilliseconds = milliseconds; }

    // `now` stamps the names of files moved aside.
    Result open(const QDateTime& now);
    // For readers in another process (the command line) while the application writes: no
    // recovery, no schema changes. A store that does not exist yet is not an error; the
    // result then holds neither a store nor an error.
    Result openReadOnly() const;

    QString storePath() const;

    // The fatal alert shown when the start ends without a store. Its text says whether an
    // unreadable store was moved aside or the store was left as it is.
    static QString failureMessageText();
    static QString failureInformativeText(const QString& errorDescription, bool storeMovedAside);

private:
    struct Failure {
        QString reason;
        // Not a database, damaged or of a newer schema: the only kind that is moved aside.
        bool unreadable = false;
    };

    static Failure failureOf(const SqliteDatabase& database);
    static bool fail(const SqliteDatabase& database, Failure& failure);
    std::unique_ptr<SqliteDatabase> tryOpen(Failure& failure) const;
    bool prepareSchema(SqliteDatabase& database, Failure& failure) const;
    bool createTables(SqliteDatabase& database, Failure& failure) const;
    QStringList moveStoreFilesAside(const QDateTime& now) const;

    QString m_directory;
    const Preferences& m_preferences;
    int m_busyTimeoutMilliseconds = 2000;
};
