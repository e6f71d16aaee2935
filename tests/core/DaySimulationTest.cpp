#include "ActivityTracker.h"
#include "LocalDay.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "StoreOpener.h"

#include "FakeClock.h"
#include "FakeIdleTimeSource.h"
#include "QtPrinters.h"
#include "ScopedTimeZone.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <random>

// Replays a scripted day of use through the real tracker and manager, with irregular tick
// intervals and occasional stalls, and compares each stored day with the time the script says
// the user was present.
//
// The tolerance is derived, not tuned. A tick credits the interval before it when the user is
// present at the tick, so the only intervals credited wrongly are those that contain a change
// of presence (a segment boundary, the idle timeout running out) or local midnight: each is
// off by at most its length, 1.1 s. Stalls (5 s between ticks, only while using) are credited
// as 3 s, an exact loss of 2 s that the expectation subtracts. The fractional accumulator
// leaves under 1 s uncredited at the end of each day, and waking from sleep drops under 1 s.
// So per day: |stored - (present - stall losses)| <= 1 + wakes + 1.1 * presence changes.
namespace {

enum class Activity { Using, Away, Locked, DisplayAsleep, Paused, MachineAsleep };

struct Segment {
    double minutes;
    Activity activity;
};

struct Scenario {
    const char* zone;
    QDateTime start;
    bool idleTimeoutEnabled;
    QList<Segment> script;
};

struct DayTally {
    double presentSeconds = 0;
    double stallLoss = 0;
    int presenceChanges = 0;
    int wakes = 0;
};

constexpr double idleTimeoutSeconds = 300.0;
constexpr double oracleStep = 0.1;

class DaySimulation {
public:
    explicit DaySimulation(const Scenario& scenario)
        : m_scenario(scenario)
        , m_clock(scenario.start)
    {
        m_preferences.registerDefaults();
        m_preferences.setValue(PreferenceKeys::idleTimeoutDisabled, !scenario.idleTimeoutEnabled);
        m_store = StoreOpener(m_dir.path(), m_preferences).open(scenario.start).store;
        m_tracker.setIdleTimeSource(&m_idle);
        m_tracker.setIdleThreshold(scenario.idleTimeoutEnabled ? idleTimeoutSeconds
                                                               : std::numeric_limits<double>::max());
        m_manager.setModelContext(m_store.get());
        m_manager.loadTodayTotal();
        m_manager.saveToday();
        m_manager.resumeAfterWake();
    }

    void run()
    {
        QDateTime segmentStart = m_scenario.start;
        m_nextTick = segmentStart.addMSecs(1000);
        for (const Segment& segment : m_scenario.script) {
            const QDateTime segmentEnd = segmentStart.addMSecs(static_cast<qint64>(segment.minutes * 60'000));
            tallyPresence(segment.activity, segmentStart, segmentEnd);
            play(segment.activity, segmentStart, segmentEnd);
            segmentStart = segmentEnd;
        }
        m_manager.saveToday();
    }

    QMap<QDate, DayTally> tallies() const { return m_tallies; }
    qint64 storedTotal(const QDate& day)
    {
        const auto record = m_store->fetchRecord(day.startOfDay());
        return record ? record->totalSeconds() : 0;
    }

private:
    bool isPresent(Activity activity, double secondsIntoSegment) const
    {
        switch (activity) {
        case Activity::Using:
            return true;
        case Activity::Away:
            return !m_scenario.idleTimeoutEnabled || secondsIntoSegment < idleTimeoutSeconds;
        default:
            return false;
        }
    }

    // The oracle: presence integrated in small steps of real time, attributed to the local
    // day each step falls in. It knows nothing of ticks, caps or accumulators.
    void tallyPresence(Activity activity, const QDateTime& start, const QDateTime& end)
    {
        const double length = static_cast<double>(start.msecsTo(end)) / 1000.0;
        for (double offset = 0; offset < length; offset += oracleStep) {
            const QDateTime moment = start.addMSecs(static_cast<qint64>(offset * 1000));
            const QDate day = moment.toLocalTime().date();
            const bool present = isPresent(activity, offset);
            if (present)
                m_tallies[day].presentSeconds += std::min(oracleStep, length - offset);
            if (day != m_lastOracleDay || present != m_lastOraclePresence) {
                if (m_lastOracleDay.isValid()) {
                    ++m_tallies[day].presenceChanges;
                    ++m_tallies[m_lastOracleDay].presenceChanges;
                }
                m_lastOracleDay = day;
                m_lastOraclePresence = present;
            }
        }
    }

    void play(Activity activity, const QDateTime& start, const QDateTime& end)
    {
        if (activity == Activity::MachineAsleep) {
            sleepMachine(start, end);
            return;
        }
        enter(activity, start);
        while (m_nextTick < end) {
            const QDateTime previous = m_nextTick;
            m_clock.set(m_nextTick);
            if (activity == Activity::Using || activity == Activity::Paused)
                m_idle.setLastInput(m_nextTick);
            m_manager.tick();
            m_nextTick = previous.addMSecs(nextInterval(activity, previous, end));
        }
        leave(activity, end);
    }

    qint64 nextInterval(Activity activity, const QDateTime& from, const QDateTime& segmentEnd)
    {
        const QDateTime stallEnd = from.addMSecs(5000);
        const bool stallFits = stallEnd < segmentEnd && startOfLocalDay(stallEnd) == startOfLocalDay(from);
        if (activity == Activity::Using && stallFits && m_random() % 400 == 0) {
            m_tallies[stallEnd.toLocalTime().date()].stallLoss +=
                5.0 - ScreenTimeManager::maximumCreditPerTick;
            return 5000;
        }
        return std::uniform_int_distribution<qint64>(900, 1100)(m_random);
    }

    void enter(Activity activity, const QDateTime& at)
    {
        m_clock.set(at);
        if (activity == Activity::Locked)
            m_tracker.screenLocked();
        else if (activity == Activity::DisplayAsleep)
            m_tracker.screensDidSleep();
        else if (activity == Activity::Paused)
            m_manager.setPaused(true);
        else if (activity == Activity::Away)
            m_idle.setLastInput(at);
    }

    void leave(Activity activity, const QDateTime& at)
    {
        m_clock.set(at);
        if (activity == Activity::Locked)
            m_tracker.screenUnlocked();
        else if (activity == Activity::DisplayAsleep)
            m_tracker.screensDidWake();
        else if (activity == Activity::Paused)
            m_manager.setPaused(false);
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
        ++m_tallies[end.toLocalTime().date()].wakes;
        m_nextTick = end.addMSecs(1000);
    }

    const Scenario& m_scenario;
    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(QStringLiteral("p.conf"))};
    std::unique_ptr<RecordStore> m_store;
    FakeClock m_clock;
    FakeIdleTimeSource m_idle{[this] { return m_clock.now(); }};
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
    std::mt19937 m_random{20261205};
    QDateTime m_nextTick;
    QMap<QDate, DayTally> m_tallies;
    QDate m_lastOracleDay;
    bool m_lastOraclePresence = false;
};

void expectStoredDaysMatchTheScript(const Scenario& scenario)
{
    ScopedTimeZone zone(scenario.zone);
    DaySimulation simulation(scenario);
    simulation.run();
    const QMap<QDate, DayTally> tallies = simulation.tallies();
    ASSERT_GE(tallies.size(), 2);
    for (auto day = tallies.cbegin(); day != tallies.cend(); ++day) {
        SCOPED_TRACE(qPrintable(day.key().toString(Qt::ISODate)));
        const DayTally& tally = day.value();
        const double expected = tally.presentSeconds - tally.stallLoss;
        const double tolerance = 1.0 + tally.wakes + 1.1 * tally.presenceChanges;
        EXPECT_NEAR(static_cast<double>(simulation.storedTotal(day.key())), expected, tolerance)
            << "present " << tally.presentSeconds << " s, stall loss " << tally.stallLoss << " s";
    }
}

const QList<Segment> officeDay{
    {95, Activity::Using},  {20, Activity::Away},          {70, Activity::Using},  {45, Activity::Locked},
    {50, Activity::Using},  {10, Activity::DisplayAsleep}, {40, Activity::Using},  {30, Activity::Paused},
    {60, Activity::Using},  {70, Activity::MachineAsleep}, {110, Activity::Using}, {3, Activity::Away},
    {200, Activity::Using}, {90, Activity::Away},          {120, Activity::Using}, {8, Activity::Away},
    {45, Activity::Using},  {15, Activity::Locked},        {40, Activity::Using},
};

TEST(DaySimulationTest, officeDayAcrossMidnightWithIdleTimeout)
{
    expectStoredDaysMatchTheScript(
        {"Europe/Berlin", QDateTime(QDate(2026, 12, 7), QTime(7, 30)), true, officeDay});
}

TEST(DaySimulationTest, nightAcrossSpringForwardWithoutIdleTimeout)
{
    // 8 March 2026 in New York has 23 hours; the machine sleeps through the missing hour.
    QList<Segment> script = officeDay;
    script.append({{150, Activity::Using}, {300, Activity::MachineAsleep}, {200, Activity::Using}});
    expectStoredDaysMatchTheScript(
        {"America/New_York", QDateTime(QDate(2026, 3, 7), QTime(14, 0)), false, script});
}

TEST(DaySimulationTest, usingThroughAMidnightThatDoesNotExist)
{
    // Santiago jumps from 24:00 straight to 01:00 on 6 September 2026.
    expectStoredDaysMatchTheScript({"America/Santiago",
                                    QDateTime(QDate(2026, 9, 5), QTime(21, 0)),
                                    true,
                                    {{170, Activity::Using}, {30, Activity::Away}, {60, Activity::Using}}});
}

} // namespace
