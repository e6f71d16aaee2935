#include "Preferences.h"
#include "RecordStore.h"
#include "StoreOpener.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Fifty years of daily records, the most a long-lived installation will ever hold.
constexpr int fiftyYearsOfDays = 18'262;
const QDate firstDay(1980, 1, 1);

// Filled once through the real save path (one fsync per day, so it takes a while) and
// shared by every benchmark.
struct SharedStore {
    SharedStore()
        : preferences(directory.filePath(QStringLiteral("p.conf")))
    {
        preferences.registerDefaults();
        store = StoreOpener(directory.path(), preferences).open(QDateTime::currentDateTime()).store;
        for (int offset = 0; offset < fiftyYearsOfDays; ++offset)
            store->saveDayTotal(firstDay.addDays(offset).startOfDay(), (offset * 7919) % 50'000);
    }

    QTemporaryDir directory;
    Preferences preferences;
    std::unique_ptr<RecordStore> store;
};

class FiftyYearStore : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        static SharedStore shared;
        m_store = shared.store.get();
    }

protected:
    RecordStore* m_store = nullptr;
};

BENCHMARK_DEFINE_F(FiftyYearStore, fetchRecordForDay)(benchmark::State& state)
{
    const QDateTime day = firstDay.addDays(fiftyYearsOfDays / 2).startOfDay();
    for (auto _ : state)
        benchmark::DoNotOptimize(m_store->fetchRecord(day));
}

BENCHMARK_DEFINE_F(FiftyYearStore, thirtyDayRange)(benchmark::State& state)
{
    const QDateTime end = firstDay.addDays(fiftyYearsOfDays - 1).startOfDay();
    const QDateTime start = end.addDays(-30);
    for (auto _ : state) {
        benchmark::DoNotOptimize(m_store->fetch(RecordQuery()
                                                    .where(RecordQuery::Comparison::GreaterOrEqual, start)
                                                    .where(RecordQuery::Comparison::Less, end)
                                                    .sortedBy(RecordQuery::Order::Ascending)));
    }
}

BENCHMARK_DEFINE_F(FiftyYearStore, allRecordsSortedByDate)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(m_store->fetch(RecordQuery().sortedBy(RecordQuery::Order::Ascending)));
}

// The once-a-minute save of today's total, with synchronous=FULL on the machine's disk.
BENCHMARK_DEFINE_F(FiftyYearStore, saveDayTotal)(benchmark::State& state)
{
    const QDateTime today = firstDay.addDays(fiftyYearsOfDays - 1).startOfDay();
    qint64 total = 0;
    for (auto _ : state)
        m_store->saveDayTotal(today, ++total);
}

BENCHMARK_REGISTER_F(FiftyYearStore, fetchRecordForDay)->Unit(benchmark::kMicrosecond);
BENCHMARK_REGISTER_F(FiftyYearStore, thirtyDayRange)->Unit(benchmark::kMicrosecond);
BENCHMARK_REGISTER_F(FiftyYearStore, allRecordsSortedByDate)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(FiftyYearStore, saveDayTotal)->Unit(benchmark::kMicrosecond);

} // namespace
