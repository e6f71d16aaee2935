#include "StoreFixture.h"

#include "FileContents.h"

#include <QDir>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

const QDateTime openedAt(QDate(2026, 12, 5), QTime(9, 30, 15));
const QDateTime day = openedAt.date().startOfDay();

// Rows of a store in WAL mode stay in the write-ahead log only, as after a crash.
void runSql(const QString& path, const char* statements)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, statements, nullptr, nullptr, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_close(db);
}

qint64 firstValue(const QString& path, const char* query)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    qint64 value = -1;
    if (sqlite3_prepare_v2(db, query, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

class StoreOpenerTest : public StoreFixture {
protected:
    StoreOpenerTest()
        : StoreFixture(openedAt)
    {}

    StoreOpener::Result open(const QString& directory)
    {
        StoreOpener opener(directory, m_preferences);
        opener.setBusyTimeoutMilliseconds(20);
        return opener.open(openedAt);
    }
    QString path() const { return m_dir.filePath(QStringLiteral("default.store")); }
};

// Only a store proven unreadable is moved aside, whole (its write-ahead log with it), and a
// fresh store takes its place.
TEST_F(StoreOpenerTest, unreadableStoreIsMovedAsideAndAFreshOneOpens)
{
    const struct {
        const char* what;
        const char* sql; // none: a file that is not SQLite at all
        const char* probe;
        qint64 kept;
    } cases[] = {
        {"not a database", nullptr, nullptr, 0},
        {"damaged",
         "CREATE TABLE t(x); PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = 'CREATE t'", nullptr,
         0},
        {"newer schema",
         "PRAGMA journal_mode = WAL; CREATE TABLE F(x); INSERT INTO F VALUES (7); PRAGMA user_version = "
         "20000",
         "SELECT x FROM F", 7},
        {"our table with other columns",
         "CREATE TABLE DailyScreenTime(day); INSERT INTO DailyScreenTime VALUES (1)",
         "SELECT day FROM DailyScreenTime", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("default.store"));
        if (c.sql)
            runSql(store, c.sql);
        else
            writeFile(store, QByteArray("somebody may want this back\n").repeated(200));
        const QByteArray original = readFile(store);

        StoreOpener::Result result = open(dir.path());
        ASSERT_TRUE(result.store) << result.errorDescription.toStdString();
        EXPECT_TRUE(result.store->fetch(RecordQuery()).isEmpty());
        ASSERT_FALSE(result.movedAside.isEmpty());
        const QString moved = result.movedAside.first();
        EXPECT_EQ(moved, dir.filePath(QStringLiteral("default-unreadable-20261205-093015.store")));
        // Opening may have switched a readable file to WAL; what it holds must survive.
        EXPECT_TRUE(c.probe ? firstValue(moved, c.probe) == c.kept : readFile(moved) == original);
    }
}

// A busy store or a write the system refuses (a full disk, an I/O error) says nothing about
// the history inside: the store stays where it is, and opens with all of it once the cause
// is gone.
TEST_F(StoreOpenerTest, otherFailuresLeaveTheStoreAsItIsAndSayWhy)
{
    m_store->saveDayTotal(day, 3600);
    m_store.reset(); // no connection of ours beside the opener's
    sqlite3* other = nullptr;
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const struct {
        const char* what;
        std::function<void()> cause;
        std::function<void()> remove;
        const char* reason;
    } cases[] = {
        {"busy",
         [&] {
             sqlite3_open(path().toUtf8().constData(), &other);
             sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
         },
         [&] { sqlite3_close_v2(other); }, "database is locked"},
        {"writes refused (file size limit)",
         [&] {
             std::signal(SIGXFSZ, SIG_IGN);
             rlimit tiny = unlimited;
             tiny.rlim_cur = 16;
             setrlimit(RLIMIT_FSIZE, &tiny);
         },
         [&] { setrlimit(RLIMIT_FSIZE, &unlimited); }, "File too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray before = readFile(path());
        c.cause();
        const StoreOpener::Result result = open(m_dir.path());
        c.remove();
        EXPECT_FALSE(result.store);
        EXPECT_TRUE(result.movedAside.isEmpty());
        EXPECT_TRUE(result.errorDescription.startsWith(path())) << result.errorDescription.toStdString();
        EXPECT_TRUE(result.errorDescription.contains(QString::fromLatin1(c.reason)))
            << result.errorDescription.toStdString();
        EXPECT_TRUE(readFile(path()) == before);
        EXPECT_TRUE(QDir(m_dir.path()).entryList({QStringLiteral("*unreadable*")}).isEmpty());
        const StoreOpener::Result afterwards = open(m_dir.path());
        ASSERT_TRUE(afterwards.store);
        EXPECT_EQ(afterwards.store->fetchRecord(day)->totalSeconds(), 3600);
    }
}

} // namespace
