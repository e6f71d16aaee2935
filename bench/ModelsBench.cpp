#include "CsvExport.h"
#include "HistoryViewModel.h"
#include "MenuBarViewModel.h"

#include "ActivityTracker.h"
#include "Preferences.h"
#include "ScreenTimeManager.h"
#include "StoreOpener.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>

namespace {

// Fifty years of daily records, the most a long-lived installation will ever hold.
constexpr int fiftyYearsOfDays = 18'262;
const QDate firstDay(1980, 1, 1);
const QDate benchToday = firstDay.addDays(fiftyYearsOfDays);

// Most days meet the goal; every 40th does not, so streaks are realistic rather than endless.
bool goalMetOn(int offset)
{
    return offset % 40 != 0;
}

// Saving day by day costs one fsync per record, so the file is filled in a single transaction
// beside the store and then opened the way the application opens it.
void fillStore(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO DailyScreenTime (date, totalSeconds, goalMet) VALUES (?, ?, ?)", -1,
                       &insert, nullptr);
    for (int offset = 0; offset < fiftyYearsOfDays; ++offset) {
        sqlite3_bind_int64(insert, 1, firstDay.addDays(offset).startOfDay().toSecsSinceEpoch());
        sqlite3_bind_int64(insert, 2, (offset * 7919) % 20'000);
        sqlite3_bind_int(insert, 3, goalMetOn(offset) ? 1 : 0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

struct SharedModelsStore {
    SharedModelsStore()
        : preferences(directory.filePath(QStringLiteral("p.conf")))
    {
        preferences.registerDefaults();
        preferences.setValue(PreferenceKeys::dailyGoalEnabled, true);
        // The first open lays out the schema; the second reads the filled file.
        StoreOpener(directory.path(), preferences).open(QDateTime::currentDateTime());
        fillStore(directory.filePath(QStringLiteral("default.store")));
        store = StoreOpener(directory.path(), preferences).open(QDateTime::currentDateTime()).store;
    }

    QTemporaryDir directory;
    Preferences preferences;
    std::unique_ptr<RecordStore> store;
};

class FiftyYearModels : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        static SharedModelsStore shared;
        m_shared = &shared;
    }

protected:
    RecordStore* store() const { return m_shared->store.get(); }
    const Preferences& preferences() const { return m_shared->preferences; }
    Clock clock() const
    {
        return [] { return QDateTime(benchToday, QTime(12, 0)); };
    }

private:
    SharedModelsStore* m_shared = nullptr;
};

// Runs each time the dropdown opens, before it is shown.
BENCHMARK_DEFINE_F(FiftyYearModels, menuBarRefreshStatistics)(benchmark::State& state)
{
    ActivityTracker tracker(clock());
    ScreenTimeManager manager(tracker, preferences(), clock());
    MenuBarViewModel model(manager, tracker, preferences(), clock());
    model.setModelContext(store());
    model.refresh();
    for (auto _ : state)
        model.refreshStatistics();
    state.counters["streak"] = static_cast<double>(model.currentStreak());
}

BENCHMARK_DEFINE_F(FiftyYearModels, historyComputeStreaks)(benchmark::State& state)
{
    HistoryViewModel model(store(), preferences(), clock());
    for (auto _ : state)
        model.computeStreaks();
    state.counters["longest"] = static_cast<double>(model.longestStreak());
}

BENCHMARK_DEFINE_F(FiftyYearModels, buildCSVOfAllRecords)(benchmark::State& state)
{
    const QList<DailyScreenTime> records =
        store()->fetch(RecordQuery().sortedBy(RecordQuery::Order::Ascending));
    for (auto _ : state)
        benchmark::DoNotOptimize(buildCSV(records, true));
    state.counters["records"] = static_cast<double>(records.size());
}

BENCHMARK_REGISTER_F(FiftyYearModels, menuBarRefreshStatistics)->Unit(benchmark::kMicrosecond);
BENCHMARK_REGISTER_F(FiftyYearModels, historyComputeStreaks)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(FiftyYearModels, buildCSVOfAllRecords)->Unit(benchmark::kMillisecond);

} // namespace
