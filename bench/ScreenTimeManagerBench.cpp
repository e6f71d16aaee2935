#include "ActivityTracker.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "StoreOpener.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// One tick as the timer runs it: clock read, day test, activity test, crediting, the
// break-reminder preference reads. The periodic save is kept out by resetting the counter.
void tickWithoutSave(benchmark::State& state)
{
    QTemporaryDir directory;
    Preferences preferences(directory.filePath(QStringLiteral("p.conf")));
    preferences.registerDefaults();
    QDateTime now = QDateTime::currentDateTimeUtc();
    const Clock clock = [&now] { return now; };
    ActivityTracker tracker(clock);
    tracker.setIdleThreshold(300);
    ScreenTimeManager manager(tracker, preferences, clock);
    for (auto _ : state) {
        now = now.addMSecs(1000);
        tracker.recordActivity();
        manager.tick();
        if (manager.ticksSinceLastSave() >= ScreenTimeManager::ticksBetweenSaves - 1)
            manager.resumeAfterWake();
    }
}

// Every tick saves: the cost of the once-a-minute write of today's record (synchronous=FULL).
void tickWithSave(benchmark::State& state)
{
    QTemporaryDir directory;
    Preferences preferences(directory.filePath(QStringLiteral("p.conf")));
    preferences.registerDefaults();
    auto store = StoreOpener(directory.path(), preferences).open(QDateTime::currentDateTime()).store;
    QDateTime now = QDateTime::currentDateTimeUtc();
    const Clock clock = [&now] { return now; };
    ActivityTracker tracker(clock);
    ScreenTimeManager manager(tracker, preferences, clock);
    manager.setModelContext(store.get());
    for (auto _ : state) {
        state.PauseTiming();
        for (qint64 i = 0; i < ScreenTimeManager::ticksBetweenSaves - 1; ++i) {
            now = now.addMSecs(1000);
            manager.tick();
        }
        now = now.addMSecs(1000);
        state.ResumeTiming();
        manager.tick();
    }
}

BENCHMARK(tickWithoutSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(tickWithSave)->Unit(benchmark::kMicrosecond);

} // namespace
