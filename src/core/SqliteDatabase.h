#pragma once

#include "SqliteStatement.h"

#include <QHash>
#include <QString>

#include <memory>
#include <optional>

struct sqlite3;

// One SQLite connection with a cache of prepared statements. Errors are reported as
// false/nullptr plus errorMessage(), never thrown.
class SqliteDatabase {
public:
    enum class Mode { ReadWriteCreate, ReadOnly };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    bool open(const QString& path, Mode mode);
    bool isOpen() const { return m_handle != nullptr; }

    bool execute(const char* sql);
    // Returns a cached statement, reset and ready to bind; nullptr when it cannot be prepared.
    SqliteStatement* prepare(const QString& sql);
    // The first column of the first row of a query such as a PRAGMA.
    std::optional<qint64> queryInt64(const char* sql);
    std::optional<QString> queryText(const char* sql);

    int changes() const;
    // SQLite's words for the last error; for an error of the file system with what the system
    // said ("unable to open database file (Permission denied)").
    QString errorMessage() const;
    // The last error proves the file is not a database or is damaged, unlike the errors that
    // another process or the file system causes (busy, full disk, permission, I/O).
    bool lastErrorMeansDamage() const;
    // The last statement did not fit the tables found (a table of our name with other columns).
    bool lastErrorMeansSchemaMismatch() const;

private:
    int lastErrorCode() const;

    sqlite3* m_handle = nullptr;
    QString m_openError;
    int m_openErrorCode = 0;
    QHash<QString, std::shared_ptr<SqliteStatement>> m_statements;
};
