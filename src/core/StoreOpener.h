#pragma once

#include "RecordStore.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class Preferences;

// Opens the record store at start-up. A store that cannot be opened (not SQLite, corrupt,
// written by a newer version) is moved aside under a time-stamped name, never destroyed,
// and a fresh store is created; only when that fails too is the error returned.
class StoreOpener {
public:
    struct Result {
        std::unique_ptr<RecordStore> store;
        // Why the fresh store could not be created either; empty on success.
        QString errorDescription;
        // Files renamed by the recovery, for the log.
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

    // The fatal alert shown when even a fresh store cannot be created.
    static QString failureMessageText();
    static QString failureInformativeText(const QString& errorDescription);

private:
    std::unique_ptr<SqliteDatabase> tryOpen(QString& error) const;
    bool prepareSchema(SqliteDatabase& database, QString& error) const;
    QStringList moveStoreFilesAside(const QDateTime& now) const;

    QString m_directory;
    const Preferences& m_preferences;
    int m_busyTimeoutMilliseconds = 2000;
};
