#include "ActivityTracker.h"
#include "PauseTimer.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "StoreOpener.h"

#include "FakeClock.h"
#include "FakeIdleTimeSource.h"
#include "ScopedTimeZone.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

// Replays a scripted stretch of use through the real tracker and manager, with ticks 0.9 to
// 1.1 s apart, and compares each stored day with the time the script says the user was present.
//
// The tolerance is derived, not tuned. A tick credits the interval before it when the user is
// present at the tick, so the only intervals credited wrongly are those that contain a change
// of presence or local midnight: each is off by at most its length, 1.1 s. The fractional
// accumulator leaves under 1 s uncredited at the end of each day, and waking from sleep drops
// under 1 s. So per day: |stored - present| <= 1 + wakes + 1.1 * presence changes.
namespace {

enum class Activity { Using, Away, Locked, DisplayAsleep, Paused, PausedUntilTomorrow, MachineAsleep };

// A Paused segment with pauseMinutes starts a timed pause of that length; the simulation then
// leaves the resume to the pause timer, so the segments after it count only if it ends on time.
struct Segment {
    double minutes;
    Activity activity;
    double pauseMinutes = 0;
};

struct DayTally {
    double presentSeconds = 0;
    int presenceChanges = 0;
    int wakes = 0;
};

constexpr int idleTimeoutSeconds = 300;
constexpr double oracleStep = 0.1;

class DaySimulation {
public:
    DaySimulation(const QDateTime& start, bool idleTimeout)
        : m_clock(start)
        , m_idleTimeout(idleTimeout)
    {
        m_preferences.registerDefaults();
        m_preferences.setValue(PreferenceKeys::idleTimeoutDisabled, !idleTimeout);
        m_store = StoreOpener(m_dir.path(), m_preferences).open(start).store;
        m_tracker.setIdleTimeSource(&m_idle);
        m_manager.setModelContext(m_store.get());
        m_manager.saveToday();
    }

    QMap<QDate, DayTally> run(const QList<Segment>& script)
    {
        QDateTime segmentStart = m_clock.now();
        m_nextTick = segmentStart.addMSecs(1000);
        for (const Segment& segment : script) {
            const QDateTime end = segmentStart.addMSecs(static_cast<qint64>(segment.minutes * 60'000));
            tally(segment.activity, segmentStart, end);
            if (segment.activity == Activity::MachineAsleep)
                sleepMachine(segmentStart, end);
            else
                play(segment, segmentStart, end);
            segmentStart = end;
        }
        m_manager.saveToday();
        return m_tallies;
    }

    qint64 storedTotal(const QDate& day)
    {
        return m_store->fetchRecord(day.startOfDay()).value_or(DailyScreenTime({}, -1, false)).totalSeconds();
    }

private:
    // The oracle: presence integrated in small steps of real time, attributed to the local
    // day each step falls in. It knows nothing of ticks, caps or accumulators.
    void tally(Activity activity, const QDateTime& start, const QDateTime& end)
    {
        const double length = static_cast<double>(start.msecsTo(end)) / 1000.0;
        for (double offset = 0; offset < length; offset += oracleStep) {
            const QDate day = start.addMSecs(static_cast<qint64>(offset * 1000)).date();
            const bool present =
                activity == Activity::Using ||
                (activity == Activity::Away && (!m_idleTimeout || offset < idleTimeoutSeconds));
            if (present)
                m_tallies[day].presentSeconds += std::min(oracleStep, length - offset);
            if (m_lastDay.isValid() && (day != m_lastDay || present != m_lastPresent)) {
                ++m_tallies[day].presenceChanges;
                ++m_tallies[m_lastDay].presenceChanges;
            }
            m_lastDay = day;
            m_lastPresent = present;
        }
    }

    void play(const Segment& segment, const QDateTime& start, const QDateTime& end)
    {
        const Activity activity = segment.activity;
        m_clock.set(start);
        switch (activity) {
        case Activity::Locked:
            m_tracker.screenLocked();
            break;
        case Activity::DisplayAsleep:
            m_tracker.screensDidSleep();
            break;
        default:
            setPause(segment);
            m_idle.setLastInput(start);
        }
        for (; m_nextTick < end; m_nextTick = m_nextTick.addMSecs(m_interval(m_random))) {
            m_clock.set(m_nextTick);
            if (activity == Activity::Using || activity == Activity::Paused ||
                activity == Activity::PausedUntilTomorrow)
                m_idle.setLastInput(m_nextTick);
            m_manager.tick();
            m_pauseTimer.expireIfDue();
        }
        m_clock.set(end);
        m_tracker.screenUnlocked();
        m_tracker.screensDidWake();
    }

    void setPause(const Segment& segment)
    {
        if (segment.activity == Activity::PausedUntilTomorrow)
            m_pauseTimer.pauseUntilTomorrow();
        else if (segment.pauseMinutes > 0)
            m_pauseTimer.pauseFor(static_cast<qint64>(segment.pauseMinutes * 60));
        else if (!m_pauseTimer.isRunning() || segment.activity == Activity::Paused)
            m_manager.setPaused(segment.activity == Activity::Paused);
    }

    // No ticks while the machine sleeps: the owner saves before sleep and resumes on wake.
    void sleepMachine(const QDateTime& start, const QDateTime& end)
    {
        m_clock.set(start);
        m_tracker.machineWillSleep();
        m_manager.saveToday();
        m_clock.set(end);
        m_tracker.machineDidWake();
        m_manager.resumeAfterWake();
        ++m_tallies[end.date()].wakes;
        m_nextTick = end.addMSecs(1000);
    }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(QStringLiteral("p.conf"))};
    std::unique_ptr<RecordStore> m_store;
    FakeClock m_clock;
    bool m_idleTimeout;
    FakeIdleTimeSource m_idle{[this] { return m_clock.now(); }};
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
    PauseTimer m_pauseTimer{m_manager, m_preferences, m_clock.clock()};
    std::mt19937 m_random{20261205};
    std::uniform_int_distribution<qint64> m_interval{900, 1100};
    QDateTime m_nextTick;
    QMap<QDate, DayTally> m_tallies;
    QDate m_lastDay;
    bool m_lastPresent = false;
};

const QList<Segment> officeDay{
    {95, Activity::Using},  {20, Activity::Away},          {70, Activity::Using},  {45, Activity::Locked},
    {50, Activity::Using},  {10, Activity::DisplayAsleep}, {40, Activity::Using},  {30, Activity::Paused},
    {60, Activity::Using},  {70, Activity::MachineAsleep}, {110, Activity::Using}, {3, Activity::Away},
    {200, Activity::Using}, {90, Activity::Away},          {120, Activity::Using}, {8, Activity::Away},
    {45, Activity::Using},  {15, Activity::Locked},        {40, Activity::Using},
};

// Each scenario crosses at least one midnight: one with daylight saving, one whose midnight
// does not exist (Santiago jumps from 24:00 to 01:00 on 6 September 2026), and a machine
// suspended on a midnight schedule, asleep a few milliseconds into the new day before its first
// tick, whose total must not be filed under the new day.
const QList<Segment> springNight =
    officeDay +
    QList<Segment>{{150, Activity::Using}, {300, Activity::MachineAsleep}, {200, Activity::Using}};
const QList<Segment> lateEvening{{170, Activity::Using}, {30, Activity::Away}, {60, Activity::Using}};
// A timed pause that ends while the machine sleeps, then one until a midnight that Santiago skips.
const QList<Segment> timedPauses{{20, Activity::Paused, 30},
                                 {40, Activity::MachineAsleep},
                                 {90, Activity::Using},
                                 {30, Activity::PausedUntilTomorrow},
                                 {60, Activity::Using}};
const QList<Segment> suspendAtMidnight{
    {120.0001, Activity::Using}, {480, Activity::MachineAsleep}, {60, Activity::Using}};

TEST(DaySimulationTest, storedDaysMatchTheTimeTheUserWasPresent)
{
    const struct {
        const char* zone;
        QDateTime start;
        bool idleTimeout;
        QList<Segment> script;
    } cases[] = {
        {"Europe/Berlin", {{2026, 12, 7}, {7, 30}}, true, officeDay},
        {"America/New_York", {{2026, 3, 7}, {14, 0}}, false, springNight},
        {"America/Santiago", {{2026, 9, 5}, {21, 0}}, true, lateEvening},
        {"America/Santiago", {{2026, 9, 5}, {21, 0}}, false, timedPauses},
        {"Europe/Berlin", {{2026, 6, 10}, {22, 0}}, false, suspendAtMidnight},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        const ScopedTimeZone zone(c.zone);
        DaySimulation simulation(QDateTime(c.start.date(), c.start.time()), c.idleTimeout);
        const QMap<QDate, DayTally> tallies = simulation.run(c.script);
        ASSERT_GE(tallies.size(), 2);
        for (auto day = tallies.cbegin(); day != tallies.cend(); ++day) {
            SCOPED_TRACE(day.key().toString(Qt::ISODate).toStdString());
            const double tolerance = 1.0 + day->wakes + 1.1 * day->presenceChanges;
            EXPECT_NEAR(static_cast<double>(simulation.storedTotal(day.key())), day->presentSeconds,
                        tolerance);
        }
    }
}

} // namespace
