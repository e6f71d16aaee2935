#include "RecordStore.h"
#include "LocalDay.h"
#include "Preferences.h"
#include "StoreOpener.h"

#include "LogCapture.h"
#include "ScopedTimeZone.h"

#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace PreferenceKeys;
using Comparison = RecordQuery::Comparison;
using Order = RecordQuery::Order;

namespace {

QDateTime day(int month, int dayOfMonth)
{
    return QDate(2026, month, dayOfMonth).startOfDay();
}

QList<qint64> totals(const QList<DailyScreenTime>& records)
{
    QList<qint64> values;
    for (const DailyScreenTime& record : records)
        values.append(record.totalSeconds());
    return values;
}

class RecordStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_preferences.registerDefaults();
        reopen();
    }

    void reopen()
    {
        m_store.reset();
        StoreOpener opener(m_dir.path(), m_preferences);
        opener.setBusyTimeoutMilliseconds(20);
        m_store = opener.open(QDateTime(QDate(2026, 12, 5), QTime(9, 0))).store;
        ASSERT_TRUE(m_store);
    }

    QString storePath() const { return m_dir.filePath(QStringLiteral("default.store")); }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(QStringLiteral("p.conf"))};
    std::unique_ptr<RecordStore> m_store;
};

TEST_F(RecordStoreTest, savingADayTwiceKeepsOneRecordWithTheNewTotal)
{
    m_store->saveDayTotal(day(3, 1), 100);
    m_store->saveDayTotal(day(3, 1), 160);
    reopen();

    const QList<DailyScreenTime> all = m_store->fetch(RecordQuery());
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all.first().totalSeconds(), 160);
    EXPECT_EQ(all.first().date(), day(3, 1));
    EXPECT_NE(all.first().id(), 0);
    EXPECT_EQ(m_store->fetchRecord(day(3, 1))->totalSeconds(), 160);
    EXPECT_FALSE(m_store->fetchRecord(day(3, 2)));
}

TEST_F(RecordStoreTest, goalFlagIsFixedAtEachSave)
{
    m_preferences.setValue(dailyGoalEnabled, true);
    m_store->saveDayTotal(day(4, 1), 21'599);
    m_store->saveDayTotal(day(4, 2), 21'600);
    EXPECT_TRUE(m_store->fetchRecord(day(4, 1))->goalMet());
    EXPECT_FALSE(m_store->fetchRecord(day(4, 2))->goalMet());

    // Switching the goal off does not rewrite history; the next save of a day does.
    m_preferences.setValue(dailyGoalEnabled, false);
    EXPECT_TRUE(m_store->fetchRecord(day(4, 1))->goalMet());
    m_store->saveDayTotal(day(4, 1), 21'599);
    EXPECT_FALSE(m_store->fetchRecord(day(4, 1))->goalMet());
}

TEST_F(RecordStoreTest, rangeQueriesHonourEveryOperatorOrderAndLimit)
{
    for (int dayOfMonth = 1; dayOfMonth <= 10; ++dayOfMonth)
        m_store->saveDayTotal(day(5, dayOfMonth), dayOfMonth * 60);

    EXPECT_EQ(totals(m_store->fetch(RecordQuery().where(Comparison::Equal, day(5, 4)))), QList<qint64>{240});
    EXPECT_EQ(totals(m_store->fetch(RecordQuery()
                                        .where(Comparison::GreaterOrEqual, day(5, 3))
                                        .where(Comparison::Less, day(5, 6))
                                        .sortedBy(Order::Ascending))),
              (QList<qint64>{180, 240, 300}));
    EXPECT_EQ(totals(m_store->fetch(
                  RecordQuery().where(Comparison::LessOrEqual, day(5, 3)).sortedBy(Order::Descending))),
              (QList<qint64>{180, 120, 60}));
    EXPECT_EQ(totals(m_store->fetch(RecordQuery().sortedBy(Order::Descending).limitedTo(2))),
              (QList<qint64>{600, 540}));
    EXPECT_EQ(m_store->fetch(RecordQuery().where(Comparison::Less, day(5, 1))).size(), 0);
    EXPECT_EQ(m_store->fetch(RecordQuery().limitedTo(0)).size(), 0);
}

TEST_F(RecordStoreTest, timeZoneChangeStartsANewRecordForTheSameCalendarDay)
{
    m_store->saveDayTotal(startOfLocalDay(QDateTime(QDate(2026, 6, 1), QTime(12, 0))), 500);
    ScopedTimeZone zone("America/New_York");
    const QDateTime newToday = startOfLocalDay(QDateTime(QDate(2026, 6, 1), QTime(12, 0)));
    EXPECT_FALSE(m_store->fetchRecord(newToday));
    m_store->saveDayTotal(newToday, 30);
    EXPECT_EQ(m_store->fetch(RecordQuery()).size(), 2);
}

// Another process holding the write lock stands in for any write failure (a full disk, an
// I/O error): the save is logged, readers still see the new totals, and the next save that
// succeeds writes everything that was pending.
TEST_F(RecordStoreTest, failedSaveIsLoggedKeptInMemoryAndWrittenLater)
{
    m_store->saveDayTotal(day(6, 1), 10);

    sqlite3* blocker = nullptr;
    ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &blocker), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(blocker, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        LogCapture log;
        m_store->saveDayTotal(day(6, 1), 70);
        m_store->saveDayTotal(day(6, 2), 5);
        EXPECT_EQ(log.count(QtCriticalMsg, QStringLiteral("com.brightlet.Lumatick.ScreenTime"),
                            QStringLiteral("SwiftData save failed: database is locked")),
                  2);
    }
    EXPECT_TRUE(m_store->hasUnsavedChanges());
    EXPECT_EQ(m_store->fetchRecord(day(6, 1))->totalSeconds(), 70);
    EXPECT_EQ(totals(m_store->fetch(RecordQuery().sortedBy(Order::Descending).limitedTo(1))),
              QList<qint64>{5});
    EXPECT_EQ(totals(m_store->fetch(RecordQuery().sortedBy(Order::Ascending))), (QList<qint64>{70, 5}));

    sqlite3_exec(blocker, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(blocker);
    m_store->saveDayTotal(day(6, 3), 1);
    EXPECT_FALSE(m_store->hasUnsavedChanges());

    reopen();
    EXPECT_EQ(totals(m_store->fetch(RecordQuery().sortedBy(Order::Ascending))), (QList<qint64>{70, 5, 1}));
}

TEST_F(RecordStoreTest, failingFetchReadsAsNoRecords)
{
    m_store->saveDayTotal(day(7, 1), 10);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "DROP TABLE DailyScreenTime", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    EXPECT_TRUE(m_store->fetch(RecordQuery()).isEmpty());
    EXPECT_FALSE(m_store->fetchRecord(day(7, 1)));
}

} // namespace
