#include "ReliabilityTest.h"

#include <QDir>
#include <QTimeZone>

namespace {

QDateTime berlin(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, QTimeZone("Europe/Berlin"));
}

// The wall clock of the running counter moved by libfaketime, as a user setting the clock,
// a time server correcting it, midnight and the change to summer time move it. Its timers
// keep the real monotonic clock, so only the wall-clock time the tick measures jumps.
class ClockTest : public FastClockTest {
protected:
    QProcess* startAt(const QDateTime& moment)
    {
        if (!setFakeTime(moment))
            return nullptr;
        QProcess* app = startHeadless(fakeTimeEnvironment());
        return waitUntilAnswering() ? app : nullptr;
    }

    // Terminated with its total saved, then the store read back.
    QMap<qint64, qint64> endAndRead(QProcess* app)
    {
        EXPECT_EQ(terminate(app), 0) << logOf(app).toStdString();
        return readStore();
    }
};

TEST_F(ClockTest, jumpsForwardAndBackWithinADayCreditAtMostTheTickCapAndNothingNegative)
{
    const QDate day(2026, 6, 10);
    constexpr qint64 earlierToday = 1'000;
    ASSERT_TRUE(seedDay(day, earlierToday));
    QProcess* app = startAt(berlin(day, QTime(10, 0)));
    ASSERT_NE(app, nullptr) << logOf(app).toStdString();
    const std::optional<qint64> beforeJumps = waitForLiveSeconds(earlierToday + 2);
    ASSERT_TRUE(beforeJumps.has_value());

    SCOPED_TRACE("two hours forward");
    ASSERT_TRUE(setFakeTime(berlin(day, QTime(12, 0, 5))));
    const std::optional<qint64> afterForward = liveSecondsAfter(2'300);
    ASSERT_TRUE(afterForward.has_value());
    // The jump's tick adds at most 3 s, the other ticks about one each.
    EXPECT_GE(*afterForward, *beforeJumps + 1);
    EXPECT_LE(*afterForward, *beforeJumps + 3 + 3);

    SCOPED_TRACE("three hours back");
    ASSERT_TRUE(setFakeTime(berlin(day, QTime(9, 0))));
    const std::optional<qint64> afterBackward = liveSecondsAfter(3'300);
    ASSERT_TRUE(afterBackward.has_value());
    // The hours set back are paid off before anything counts again: the total neither drops
    // nor grows beyond the ticks that may have run between our look and the jump.
    EXPECT_GE(*afterBackward, *afterForward);
    EXPECT_LE(*afterBackward, *afterForward + 2);

    const QMap<qint64, qint64> totals = endAndRead(app);
    EXPECT_EQ(totals.size(), 1);
    EXPECT_GE(totals.value(dayKey(day)), *afterBackward);
    EXPECT_LE(totals.value(dayKey(day)), *afterBackward + 1);
}

// Midnight passing, a jump of two days, and the change to summer time (02:00 CET becomes
// 03:00 CEST: the local clock skips an hour, the day keeps its key).
TEST_F(ClockTest, eachDayCrossedKeepsItsOwnTotalUnderItsOwnStart)
{
    constexpr qint64 earlierToday = 1'000;
    const struct {
        const char* what;
        QDate day;
        QTime start;
        QDateTime jump;
        QDate nextDay;
    } cases[] = {
        {"midnight", {2026, 6, 10}, {23, 59, 55}, {}, {2026, 6, 11}},
        {"two days forward", {2026, 7, 1}, {15, 0}, berlin({2026, 7, 3}, {9, 0}), {2026, 7, 3}},
        {"summer time", {2026, 3, 29}, {1, 59, 55}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(storeDirectory()).removeRecursively();
        ASSERT_TRUE(seedDay(c.day, earlierToday));
        QProcess* app = startAt(berlin(c.day, c.start));
        ASSERT_NE(app, nullptr) << logOf(app).toStdString();
        if (c.jump.isValid()) {
            ASSERT_TRUE(waitForLiveSeconds(earlierToday + 2).has_value());
            ASSERT_TRUE(setFakeTime(c.jump));
        }
        // The last count of the old day, and the first ones of the new day.
        std::optional<qint64> oldDay, now;
        ASSERT_TRUE(waitUntil(
            [&] {
                now = liveSeconds();
                if (now && *now >= earlierToday)
                    oldDay = now;
                if (!c.nextDay.isValid())
                    return oldDay >= earlierToday + 8; // across the change, with a margin for the start
                return now && *now < earlierToday && *now >= 2;
            },
            15'000))
            << "the counter did not count on";
        ASSERT_TRUE(oldDay.has_value());

        const QMap<qint64, qint64> totals = endAndRead(app);
        EXPECT_GE(totals.value(dayKey(c.day)), *oldDay);
        EXPECT_LE(totals.value(dayKey(c.day)), *oldDay + 2) << "the skipped hour was counted";
        if (!c.nextDay.isValid()) {
            EXPECT_EQ(totals.keys(), QList<qint64>{dayKey(c.day)});
            continue;
        }
        EXPECT_EQ(totals.keys(), (QList<qint64>{dayKey(c.day), dayKey(c.nextDay)}));
        // The tick that crosses into the new day adds up to 3 s there.
        EXPECT_LE(*now, 3 + 3);
        EXPECT_GE(totals.value(dayKey(c.nextDay)), *now);
        EXPECT_LE(totals.value(dayKey(c.nextDay)), *now + 2);
    }
}

// A machine shut down or suspended on a midnight schedule, before the counter's first tick of
// the new day: the total saved on the way belongs to the day it was counted in, and the new
// day, started again, begins from nothing.
TEST_F(ClockTest, terminationBeforeTheFirstTickOfADayKeepsTheTotalOnItsDay)
{
    const QDate day(2026, 6, 10);
    constexpr qint64 earlierToday = 5'000;
    ASSERT_TRUE(seedDay(day, earlierToday));
    QProcess* app = startAt(berlin(day, QTime(23, 59, 30)));
    ASSERT_NE(app, nullptr) << logOf(app).toStdString();
    const std::optional<qint64> counted = waitForLiveSeconds(earlierToday + 2);
    ASSERT_TRUE(counted.has_value());
    // Just after a tick, so the next one is most of a second away when midnight comes.
    const std::optional<qint64> lastTick = waitForLiveSeconds(*counted + 1);
    ASSERT_TRUE(lastTick.has_value());
    ASSERT_TRUE(setFakeTime(berlin(day.addDays(1), QTime(0, 0, 1))));

    const QMap<qint64, qint64> totals = endAndRead(app);
    EXPECT_GE(totals.value(dayKey(day)), *lastTick);
    EXPECT_LE(totals.value(dayKey(day)), *lastTick + 1);
    EXPECT_LE(totals.value(dayKey(day.addDays(1))), 1) << "the old day's total went to the new day";

    QProcess* again = startAt(berlin(day.addDays(1), QTime(0, 0, 5)));
    ASSERT_NE(again, nullptr) << logOf(again).toStdString();
    EXPECT_LT(liveSeconds().value_or(99), 10);
}

} // namespace
