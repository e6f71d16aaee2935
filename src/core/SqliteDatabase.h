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
    QString errorMessage() const;

private:
    sqlite3* m_handle = nullptr;
    QString m_openError;
    QHash<QString, std::shared_ptr<SqliteStatement>> m_statements;
};
