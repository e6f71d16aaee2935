#include "FileContents.h"
#include "ReliabilityTest.h"

#include <QFile>

#include <random>

namespace {

// Bit of SIGTERM (15) in the signal masks of /proc/<pid>/status.
constexpr quint64 sigtermBit = quint64{1} << 14;

// The counter ended from outside while it runs: by kill -9, which it cannot see coming, and
// by SIGTERM, on which it saves. Moments are random, the seed is printed with each failure.
// The clock runs ten times as fast, so short runs cross the minute between periodic saves.
class InterruptionTest : public FastClockTest {
protected:
    int randomMilliseconds(int lowest, int highest)
    {
        return std::uniform_int_distribution<int>(lowest, highest)(m_random);
    }

    // A signal sent before the counter has taken it over ends the process the default way, as
    // it would any program; the tests start sending once the counter catches it. Until the
    // command line has become the counter, the process is only on its way there.
    bool waitUntilTerminationIsHandled(const QProcess* app)
    {
        const QString exe = QStringLiteral("/proc/%1/exe").arg(app->processId());
        return waitUntil(
            [&] {
                return QFile::symLinkTarget(exe).endsWith(u"/lumatick-panel") &&
                       (signalMask(app, "SigCgt:") & sigtermBit) != 0;
            },
            startTimeoutMs);
    }

    // One of the signal masks of /proc/<pid>/status; 0 when the process is gone.
    static quint64 signalMask(const QProcess* app, const QByteArray& field)
    {
        for (const QByteArray& line :
             readFile(QStringLiteral("/proc/%1/status").arg(app->processId())).split('\n')) {
            if (line.startsWith(field))
                return line.mid(field.size()).trimmed().toULongLong(nullptr, 16);
        }
        return 0;
    }

    unsigned m_seed = std::random_device{}();
    std::mt19937 m_random{m_seed};
};

TEST_F(InterruptionTest, killedOrTerminatedAtAnyMomentTheStoreStaysWholeAndKeepsItsTime)
{
    SCOPED_TRACE("random seed " + std::to_string(m_seed));
    qint64 stored = 5'000;
    ASSERT_TRUE(seedDay(acceleratedDay(), stored));
    // Against the last total shown: kill -9 loses at most the minute since the last save, and a
    // periodic save may fall between our last look and the kill (two fast ticks); SIGTERM
    // saves the total at the signal, and on the fast clock a tick passes every tenth of a
    // second between our last look and the save. No delay: at the 60th tick, which saves.
    const struct {
        const char* what;
        int signal;
        int earliest, latest;
        qint64 lost, gained;
    } runs[] = {
        {"kill -9 at start-up (store opening, first save)", SIGKILL, 0, 800, 60, 2},
        {"kill -9 while counting", SIGKILL, 2'000, 9'000, 60, 2},
        {"kill -9 while counting", SIGKILL, 2'000, 9'000, 60, 2},
        {"kill -9 while counting", SIGKILL, 2'000, 9'000, 60, 2},
        {"SIGTERM at start-up", SIGTERM, 0, 300, 0, 10},
        {"SIGTERM at a random moment", SIGTERM, 1'000, 8'000, 0, 10},
        {"SIGTERM at the save tick", SIGTERM, -1, -1, 0, 10},
        {"SIGHUP at a random moment (its terminal closed)", SIGHUP, 1'000, 8'000, 0, 10},
    };
    for (const auto& run : runs) {
        const int delay = run.earliest < 0 ? -1 : randomMilliseconds(run.earliest, run.latest);
        SCOPED_TRACE(std::string(run.what) + " after " + std::to_string(delay) + " ms");
        QProcess* app = startHeadless(m_clock);
        const bool kill = run.signal == SIGKILL;
        if (!kill) {
            ASSERT_TRUE(waitUntilTerminationIsHandled(app));
            // Every program the counter starts would inherit a blocked signal and outlive a logout.
            // Starting a thread or a process blocks every signal for a moment, so a block must last.
            EXPECT_TRUE(waitUntil([app] { return (signalMask(app, "SigBlk:") & sigtermBit) == 0; }, 2'000));
        }
        // Each tick adds a second to the total loaded at start.
        const std::optional<qint64> lastShown =
            delay < 0 ? waitForLiveSeconds(stored + 59) : liveSecondsAfter(delay);
        if (kill) {
            app->kill();
            ASSERT_TRUE(app->waitForFinished(10'000));
        } else {
            EXPECT_EQ(terminate(app, run.signal), 0) << logOf(app).toStdString();
        }

        const qint64 now = readStore().value(dayKey(acceleratedDay()), -1);
        EXPECT_GE(now, stored) << "time saved by an earlier run was lost";
        if (lastShown) {
            EXPECT_GE(now, *lastShown - run.lost);
            EXPECT_LE(now, *lastShown + run.gained);
        }
        stored = std::max(stored, now);
    }
}

// Neither a hangup ignored from the start (nohup) nor an output whose reader went away (the
// launcher that started it exited) ends the counter: it counts on.
TEST_F(InterruptionTest, keepsCountingThroughSignalsThatMustNotEndIt)
{
    const QString readerGone = QStringLiteral(
        "import os, signal, sys; signal.signal(signal.SIGPIPE, signal.SIG_DFL); reader, writer = os.pipe(); "
        "os.close(reader); os.dup2(writer, 2); os.execv(sys.argv[1], sys.argv[1:])");
    const struct {
        const char* what;
        QStringList wrapper;
        int signal;
    } cases[] = {
        {"SIGHUP under nohup", {QStringLiteral("nohup")}, SIGHUP},
        {"its error output's reader gone", {QStringLiteral("python3"), QStringLiteral("-c"), readerGone}, 0},
    };
    QProcessEnvironment environment = m_clock;
    // A log line for every bus message, so the closed output is written to.
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=true"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QProcess* app = launch({QStringLiteral("--headless")}, environment, c.wrapper);
        ASSERT_TRUE(waitUntilTerminationIsHandled(app) && waitUntilAnswering());
        if (c.signal != 0)
            ::kill(static_cast<pid_t>(app->processId()), c.signal);
        const qint64 before = liveSecondsAfter(500).value_or(-1);
        EXPECT_GT(liveSecondsAfter(500).value_or(-1), before) << logOf(app).toStdString();
        EXPECT_EQ(terminate(app), 0);
    }
}

} // namespace
