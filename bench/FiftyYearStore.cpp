#include "FiftyYearStore.h"

#include "StoreOpener.h"

#include <sqlite3.h>

FiftyYearStore& FiftyYearStore::shared()
{
    static FiftyYearStore instance;
    return instance;
}

FiftyYearStore::FiftyYearStore()
    : m_preferences(m_directory.filePath(QStringLiteral("p.conf")))
{
    m_preferences.registerDefaults();
    m_preferences.setValue(PreferenceKeys::dailyGoalEnabled, true);
    // The first open lays out the schema; the second reads the filled file the way the
    // application opens it.
    StoreOpener(m_directory.path(), m_preferences).open(QDateTime::currentDateTime());
    fill(m_directory.filePath(QStringLiteral("default.store")));
    m_store = StoreOpener(m_directory.path(), m_preferences).open(QDateTime::currentDateTime()).store;
}

// Saving day by day costs one fsync per record, so the file is filled in one transaction.
void FiftyYearStore::fill(const QString& path) const
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO DailyScreenTime (date, totalSeconds, goalMet) VALUES (?, ?, ?)", -1,
                       &insert, nullptr);
    for (int offset = 0; offset < days; ++offset) {
        sqlite3_bind_int64(insert, 1, firstDay.addDays(offset).startOfDay().toSecsSinceEpoch());
        sqlite3_bind_int64(insert, 2, (offset * 7919) % 20'000);
        sqlite3_bind_int(insert, 3, offset % 40 != 0 ? 1 : 0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
