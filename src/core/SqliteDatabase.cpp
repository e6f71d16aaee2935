#include "SqliteDatabase.h"

#include <sqlite3.h>

namespace {
QString describe(sqlite3* handle, int code)
{
    QString text = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(code));
    const int primary = code & 0xff;
    const int systemError = handle ? sqlite3_system_errno(handle) : 0;
    if (systemError != 0 && (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR || primary == SQLITE_FULL))
        text += QStringLiteral(" (%1)").arg(qt_error_string(systemError));
    return text;
}
} // namespace

SqliteDatabase::~SqliteDatabase()
{
    m_statements.clear();
    sqlite3_close_v2(m_handle);
}

bool SqliteDatabase::open(const QString& path, Mode mode)
{
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* handle = nullptr;
    const int result =
        sqlite3_open_v2(path.toUtf8().constData(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        m_openErrorCode = handle ? sqlite3_extended_errcode(handle) : result;
        m_openError = describe(handle, m_openErrorCode);
        sqlite3_close_v2(handle);
        return false;
    }
    sqlite3_extended_result_codes(handle, 1);
    m_handle = handle;
    return true;
}

bool SqliteDatabase::execute(const char* sql)
{
    return sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

SqliteStatement* SqliteDatabase::prepare(const QString& sql)
{
    auto cached = m_statements.constFind(sql);
    if (cached != m_statements.constEnd()) {
        (*cached)->reset();
        return cached->get();
    }
    sqlite3_stmt* raw = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v3(m_handle, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &raw,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return nullptr;
    }
    auto statement = std::make_shared<SqliteStatement>(m_handle, raw);
    m_statements.insert(sql, statement);
    return statement.get();
}

std::optional<qint64> SqliteDatabase::queryInt64(const char* sql)
{
    SqliteStatement* statement = prepare(QString::fromUtf8(sql));
    if (!statement || statement->step() != SqliteStatement::Step::Row)
        return std::nullopt;
    const qint64 value = statement->columnInt64(0);
    statement->reset();
    return value;
}

std::optional<QString> SqliteDatabase::queryText(const char* sql)
{
    SqliteStatement* statement = prepare(QString::fromUtf8(sql));
    if (!statement || statement->step() != SqliteStatement::Step::Row)
        return std::nullopt;
    QString value = statement->columnText(0);
    statement->reset();
    return value;
}

int SqliteDatabase::changes() const
{
    return sqlite3_changes(m_handle);
}

QString SqliteDatabase::errorMessage() const
{
    if (!m_handle)
        return m_openError;
    return describe(m_handle, sqlite3_extended_errcode(m_handle));
}

bool SqliteDatabase::lastErrorMeansDamage() const
{
    const int primary = lastErrorCode() & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool SqliteDatabase::lastErrorMeansSchemaMismatch() const
{
    return (lastErrorCode() & 0xff) == SQLITE_ERROR;
}

int SqliteDatabase::lastErrorCode() const
{
    return m_handle ? sqlite3_extended_errcode(m_handle) : m_openErrorCode;
}
