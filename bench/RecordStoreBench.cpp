#include "FiftyYearStore.h"

#include <benchmark/benchmark.h>

namespace {

QDateTime dayStart(int offset)
{
    return FiftyYearStore::firstDay.addDays(offset).startOfDay();
}

void fetchRecordForDay(benchmark::State& state)
{
    RecordStore& store = FiftyYearStore::shared().store();
    const QDateTime day = dayStart(FiftyYearStore::days / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.fetchRecord(day));
}

void thirtyDayRange(benchmark::State& state)
{
    RecordStore& store = FiftyYearStore::shared().store();
    const QDateTime end = dayStart(FiftyYearStore::days - 1);
    const QDateTime start = end.addDays(-30);
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.fetch(RecordQuery()
                                                 .where(RecordQuery::Comparison::GreaterOrEqual, start)
                                                 .where(RecordQuery::Comparison::Less, end)
                                                 .sortedBy(RecordQuery::Order::Ascending)));
    }
}

void allRecordsSortedByDate(benchmark::State& state)
{
    RecordStore& store = FiftyYearStore::shared().store();
    for (auto _ : state)
        benchmark::DoNotOptimize(store.fetch(RecordQuery().sortedBy(RecordQuery::Order::Ascending)));
}

// The once-a-minute save of today's total, with synchronous=FULL on the machine's disk.
void saveDayTotal(benchmark::State& state)
{
    RecordStore& store = FiftyYearStore::shared().store();
    const QDateTime today = dayStart(FiftyYearStore::days - 1);
    qint64 total = 0;
    for (auto _ : state)
        store.saveDayTotal(today, ++total);
}

BENCHMARK(fetchRecordForDay)->Unit(benchmark::kMicrosecond);
BENCHMARK(thirtyDayRange)->Unit(benchmark::kMicrosecond);
BENCHMARK(allRecordsSortedByDate)->Unit(benchmark::kMillisecond);
BENCHMARK(saveDayTotal)->Unit(benchmark::kMicrosecond);

} // namespace
