#include "ActivityTracker.h"
#include "CsvExport.h"
#include "FiftyYearStore.h"
#include "HistoryViewModel.h"
#include "MenuBarViewModel.h"
#include "ScreenTimeManager.h"

#include <benchmark/benchmark.h>

namespace {

Clock noonAfterTheLastRecord()
{
    return [] { return QDateTime(FiftyYearStore::today, QTime(12, 0)); };
}

// Runs each time the dropdown opens, before it is shown.
void menuBarRefreshStatistics(benchmark::State& state)
{
    FiftyYearStore& fifty = FiftyYearStore::shared();
    const Clock clock = noonAfterTheLastRecord();
    ActivityTracker tracker(clock);
    ScreenTimeManager manager(tracker, fifty.preferences(), clock);
    MenuBarViewModel model(manager, tracker, fifty.preferences(), clock);
    model.setModelContext(&fifty.store());
    model.refresh();
    for (auto _ : state)
        model.refreshStatistics();
    state.counters["streak"] = static_cast<double>(model.currentStreak());
}

void historyComputeStreaks(benchmark::State& state)
{
    FiftyYearStore& fifty = FiftyYearStore::shared();
    HistoryViewModel model(&fifty.store(), fifty.preferences(), noonAfterTheLastRecord());
    for (auto _ : state)
        model.computeStreaks();
    state.counters["longest"] = static_cast<double>(model.longestStreak());
}

void buildCSVOfAllRecords(benchmark::State& state)
{
    const QList<DailyScreenTime> records =
        FiftyYearStore::shared().store().fetch(RecordQuery().sortedBy(RecordQuery::Order::Ascending));
    for (auto _ : state)
        benchmark::DoNotOptimize(buildCSV(records, true));
    state.counters["records"] = static_cast<double>(records.size());
}

BENCHMARK(menuBarRefreshStatistics)->Unit(benchmark::kMicrosecond);
BENCHMARK(historyComputeStreaks)->Unit(benchmark::kMillisecond);
BENCHMARK(buildCSVOfAllRecords)->Unit(benchmark::kMillisecond);

} // namespace
