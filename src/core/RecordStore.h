#pragma once

#include "DailyScreenTime.h"
#include "RecordQuery.h"
#include "SqliteDatabase.h"

#include <QList>

#include <memory>
#include <optional>

class Preferences;

// The one handle on the daily records: the tracking core saves through it, every reader
// queries it. A save that fails stays pending in memory, is visible to readers and is
// written by the next save that succeeds, so a passing disk error loses nothing.
class RecordStore {
public:
    // Takes a database that StoreOpener has opened and checked.
    RecordStore(std::unique_ptr<SqliteDatabase> database, const Preferences& preferences);

    // The record whose date is exactly `day` (the start of a local day), if any.
    std::optional<DailyScreenTime> fetchRecord(const QDateTime& day);
    // Records matching the query; a failing query reads as no records.
    QList<DailyScreenTime> fetch(const RecordQuery& query);
    // As fetch, for readers that must tell an empty store from one that cannot be read: nothing,
    // with the database's reason in `error`, when the query fails.
    std::optional<QList<DailyScreenTime>> tryFetch(const RecordQuery& query, QString& error);

    // Updates the day's record, or inserts one, with the goal flag computed now.
    void saveDayTotal(const QDateTime& day, qint64 totalSeconds);
    bool hasUnsavedChanges() const { return !m_pending.isEmpty(); }

    // Replaces the record of each given day by the given one, goal flag included, all in one
    // transaction: either every record is written or none is. Returns the error on failure.
    std::optional<QString> replaceRecords(const QList<DailyScreenTime>& records);

private:
    struct PendingSave {
        qint64 dayKey;
        DailyScreenTime record;
    };

    // Returns the database's error message when the write failed.
    std::optional<QString> writePending();
    QString rollBack();
    bool writeOne(const PendingSave& save);
    bool deleteDay(qint64 dateSeconds);
    bool insert(const DailyScreenTime& record);
    std::optional<DailyScreenTime> pendingRecord(qint64 dayKey) const;
    void overlayPending(QList<DailyScreenTime>& records, const RecordQuery& query) const;

    std::unique_ptr<SqliteDatabase> m_database;
    const Preferences& m_preferences;
    QList<PendingSave> m_pending;
};
