#include "StoreOpener.h"
#include "Preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QDateTime openedAt(QDate(2026, 12, 5), QTime(9, 30, 15));

qint64 pragma(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    qint64 value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

class StoreOpenerTest : public testing::Test {
protected:
    void SetUp() override { m_preferences.registerDefaults(); }

    StoreOpener::Result open(const QString& directory)
    {
        return StoreOpener(directory, m_preferences).open(openedAt);
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(QStringLiteral("p.conf"))};
};

TEST_F(StoreOpenerTest, createsAVersionedWalStoreInAMissingDirectory)
{
    const QString directory = path(QStringLiteral("data/Brightlet/Lumatick"));
    StoreOpener::Result result = open(directory);
    ASSERT_TRUE(result.store);
    EXPECT_TRUE(result.errorDescription.isEmpty());
    EXPECT_TRUE(result.movedAside.isEmpty());
    result.store->saveDayTotal(openedAt.date().startOfDay(), 42);

    const QString store = directory + QStringLiteral("/default.store");
    EXPECT_TRUE(QFile::exists(store));
    EXPECT_TRUE(QFile::exists(store + QStringLiteral("-wal")));
    EXPECT_EQ(pragma(store, "PRAGMA user_version"), 10000);
    EXPECT_EQ(pragma(store, "SELECT totalSeconds FROM DailyScreenTime"), 42);

    // Opening again keeps what is there.
    result.store.reset();
    StoreOpener::Result again = open(directory);
    ASSERT_TRUE(again.store);
    EXPECT_TRUE(again.movedAside.isEmpty());
    EXPECT_EQ(again.store->fetchRecord(openedAt.date().startOfDay())->totalSeconds(), 42);
}

TEST_F(StoreOpenerTest, fileThatIsNotSqliteIsMovedAsideAndAFreshStoreOpens)
{
    const QByteArray garbage("this is not a database, but somebody may want it back\n");
    writeFile(path(QStringLiteral("default.store")), garbage.repeated(200));

    StoreOpener::Result result = open(m_dir.path());
    ASSERT_TRUE(result.store);
    EXPECT_TRUE(result.store->fetch(RecordQuery()).isEmpty());
    ASSERT_FALSE(result.movedAside.isEmpty());
    EXPECT_EQ(result.movedAside.first(), path(QStringLiteral("default-unreadable-20261205-093015.store")));
    QFile kept(result.movedAside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), garbage.repeated(200));
}

TEST_F(StoreOpenerTest, storeFromANewerSchemaIsMovedAsideNotOverwritten)
{
    {
        sqlite3* db = nullptr;
        sqlite3_open(path(QStringLiteral("default.store")).toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "CREATE TABLE Future(x); PRAGMA user_version = 20000", nullptr, nullptr, nullptr);
        // Left in the WAL only: the recovery must not lose rows that were never checkpointed.
        sqlite3_exec(db, "INSERT INTO Future VALUES (7)", nullptr, nullptr, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        sqlite3_close(db);
        ASSERT_TRUE(QFileInfo(path(QStringLiteral("default.store-wal"))).size() > 0);
    }
    // A recovery earlier in the same second must not be overwritten.
    writeFile(path(QStringLiteral("default-unreadable-20261205-093015.store")), "older copy");

    StoreOpener::Result result = open(m_dir.path());
    ASSERT_TRUE(result.store);
    ASSERT_EQ(result.movedAside.size(), 1);
    EXPECT_EQ(result.movedAside.first(), path(QStringLiteral("default-unreadable-20261205-093015-1.store")));
    EXPECT_EQ(pragma(result.movedAside.first(), "PRAGMA user_version"), 20000);
    EXPECT_EQ(pragma(result.movedAside.first(), "SELECT x FROM Future"), 7);
    EXPECT_EQ(pragma(path(QStringLiteral("default.store")), "PRAGMA user_version"), 10000);
}

TEST_F(StoreOpenerTest, tableWithOtherColumnsCountsAsUnreadable)
{
    {
        sqlite3* db = nullptr;
        sqlite3_open(path(QStringLiteral("default.store")).toUtf8().constData(), &db);
        sqlite3_exec(db, "CREATE TABLE DailyScreenTime(day TEXT)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    StoreOpener::Result result = open(m_dir.path());
    ASSERT_TRUE(result.store);
    EXPECT_EQ(result.movedAside.size(), 1);
}

TEST_F(StoreOpenerTest, unusableDirectoryGivesTheErrorResultWithoutTouchingFiles)
{
    writeFile(path(QStringLiteral("plain-file")), "x");
    for (const QString& directory : {QString(), path(QStringLiteral("plain-file/Lumatick"))}) {
        SCOPED_TRACE(qPrintable(directory));
        StoreOpener::Result result = open(directory);
        EXPECT_FALSE(result.store);
        EXPECT_FALSE(result.errorDescription.isEmpty());
        EXPECT_TRUE(result.movedAside.isEmpty());
    }
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("plain-file"))));
}

TEST_F(StoreOpenerTest, failureAlertTexts)
{
    EXPECT_EQ(StoreOpener::failureMessageText(), QStringLiteral("Unable to Open Data Store"));
    EXPECT_EQ(
        StoreOpener::failureInformativeText(QStringLiteral("disk I/O error")),
        QStringLiteral("Lumatick\u2019s data store could not be opened or recreated. Screen time history "
                       "has been lost. The app will now quit.\n\nError: disk I/O error"));
}

} // namespace
