#include "ReliabilityTest.h"

#include <QElapsedTimer>
#include <QFile>

#include <random>

namespace {

// Bit of SIGTERM (15) in the signal masks of /proc/<pid>/status.
constexpr quint64 sigtermBit = quint64{1} << 14;

// The counter ended from outside while it runs: by kill -9, which it cannot see coming, and
// by SIGTERM, on which it saves. Moments are random, the seed is printed with each failure.
// The clock runs ten times as fast, so short runs cross the minute between periodic saves.
class InterruptionTest : public ReliabilityTest {
protected:
    void SetUp() override
    {
        ReliabilityTest::SetUp();
        if (!fakeTimeAvailable())
            GTEST_SKIP() << "libfaketime is not installed";
        m_clock = acceleratedClock();
        m_seed = std::random_device{}();
        m_random.seed(m_seed);
    }

    int randomMilliseconds(int lowest, int highest)
    {
        return std::uniform_int_distribution<int>(lowest, highest)(m_random);
    }

    // Lets the counter run for `milliseconds` and returns the last total it reported.
    std::optional<qint64> runFor(int milliseconds)
    {
        std::optional<qint64> last;
        QElapsedTimer timer;
        timer.start();
        waitUntil(
            [&] {
                if (const std::optional<qint64> seconds = liveSeconds())
                    last = seconds;
                return timer.elapsed() >= milliseconds;
            },
            milliseconds + 5'000);
        return last;
    }

    // A signal sent before main() has taken it over ends the process the default way, which
    // no user's session does; the tests start sending once the counter handles it.
    bool waitUntilTerminationIsHandled(const QProcess* app)
    {
        const QString status = QStringLiteral("/proc/%1/status").arg(app->processId());
        return waitUntil(
            [&] {
                QFile file(status);
                if (!file.open(QIODevice::ReadOnly))
                    return false;
                for (const QByteArray& line : file.readAll().split('\n')) {
                    if (line.startsWith("SigBlk:"))
                        return (line.mid(7).trimmed().toULongLong(nullptr, 16) & sigtermBit) != 0;
                }
                return false;
            },
            startTimeoutMs);
    }

    void expectIntact(const StoreContents& contents)
    {
        ASSERT_TRUE(contents.opened);
        EXPECT_EQ(contents.integrity, QStringLiteral("ok"));
        EXPECT_EQ(contents.rowCount, contents.totals.size()) << "a day was stored twice";
    }

    const qint64 m_day = dayKey(acceleratedDay());
    QProcessEnvironment m_clock;
    unsigned m_seed = 0;
    std::mt19937 m_random;
};

TEST_F(InterruptionTest, killAtRandomMomentsLosesAtMostAMinuteAndNeverDamagesTheStore)
{
    SCOPED_TRACE("random seed " + std::to_string(m_seed));
    constexpr qint64 earlierToday = 5'000;
    ASSERT_TRUE(seedDay(acceleratedDay(), earlierToday));
    qint64 stored = earlierToday;

    // The first kill lands in the start-up (store opening, first save), the others while
    // counting, some after one or two periodic saves.
    for (int run = 0; run < 4; ++run) {
        const int delay = run == 0 ? randomMilliseconds(0, 800) : randomMilliseconds(2'000, 9'000);
        SCOPED_TRACE("run " + std::to_string(run) + ", killed after " + std::to_string(delay) + " ms");
        QProcess* app = startHeadless(m_clock);
        const std::optional<qint64> lastShown = runFor(delay);
        app->kill();
        ASSERT_TRUE(app->waitForFinished(10'000));

        const StoreContents contents = readStore();
        expectIntact(contents);
        const qint64 now = contents.totals.value(m_day, -1);
        EXPECT_GE(now, stored) << "time saved by an earlier run was lost";
        if (lastShown) {
            // A periodic save may fall between our last look and the kill: two fast ticks.
            EXPECT_LE(now, *lastShown + 2);
            EXPECT_LE(*lastShown - now, 60) << "more than the minute since the last save was lost";
        }
        stored = std::max(stored, now);
    }
}

TEST_F(InterruptionTest, terminationAtStartUpAtRandomAndAtTheSaveTickExitsCleanlyAndKeepsTheTotal)
{
    SCOPED_TRACE("random seed " + std::to_string(m_seed));
    constexpr qint64 earlierToday = 7'200;
    ASSERT_TRUE(seedDay(acceleratedDay(), earlierToday));
    qint64 stored = earlierToday;

    enum class Moment { startUp, random, saveTick };
    for (const Moment moment : {Moment::startUp, Moment::random, Moment::saveTick}) {
        SCOPED_TRACE("moment " + std::to_string(static_cast<int>(moment)));
        QProcess* app = startHeadless(m_clock);
        ASSERT_TRUE(waitUntilTerminationIsHandled(app));
        std::optional<qint64> lastShown;
        if (moment == Moment::startUp)
            lastShown = runFor(randomMilliseconds(0, 300));
        else if (moment == Moment::random)
            lastShown = runFor(randomMilliseconds(1'000, 8'000));
        else
            // The 60th tick saves; each tick adds a second to the total loaded at start.
            lastShown = waitForLiveSeconds(stored + 59);
        EXPECT_EQ(terminate(app), 0) << logOf(app).toStdString();

        const StoreContents contents = readStore();
        expectIntact(contents);
        const qint64 now = contents.totals.value(m_day, -1);
        EXPECT_GE(now, stored);
        // The total at the signal is what is saved; on the fast clock a tick passes every
        // tenth of a second between our last look and the save.
        if (lastShown) {
            EXPECT_GE(now, *lastShown);
            EXPECT_LE(now, *lastShown + 10);
        }
        stored = std::max(stored, now);
    }
}

} // namespace
