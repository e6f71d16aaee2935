#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement, finalized with its owner. Reset before every use, so a statement
// kept in the database's cache starts clean each time.
class SqliteStatement {
public:
    enum class Step { Row, Done, Error };

    SqliteStatement(sqlite3* database, sqlite3_stmt* statement);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void reset();
    bool bind(int index, qint64 value);
    Step step();
    qint64 columnInt64(int column) const;
    QString columnText(int column) const;

private:
    sqlite3* m_database;
    sqlite3_stmt* m_statement;
};
