#include "ReliabilityTest.h"

#include <QElapsedTimer>
#include <QTimeZone>

namespace {

QDateTime berlin(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, QTimeZone("Europe/Berlin"));
}

// The wall clock of the running counter moved by libfaketime, as a user setting the clock,
// a time server correcting it, midnight and the change to summer time move it. Its timers
// keep the real monotonic clock, so only the wall-clock time the tick measures jumps.
class ClockTest : public ReliabilityTest {
protected:
    void SetUp() override
    {
        ReliabilityTest::SetUp();
        if (!fakeTimeAvailable())
            GTEST_SKIP() << "libfaketime is not installed";
    }

    QProcess* startAt(const QDateTime& moment)
    {
        if (!setFakeTime(moment))
            return nullptr;
        QProcess* app = startHeadless(fakeTimeEnvironment());
        return waitUntilAnswering() ? app : nullptr;
    }

    // The live total once `ticks` more ticks have run on the real clock.
    std::optional<qint64> afterTicks(int ticks)
    {
        QElapsedTimer timer;
        timer.start();
        waitUntil([&] { return timer.elapsed() >= ticks * 1000 + 300; }, ticks * 1000 + 5'000);
        return liveSeconds();
    }

    // Terminated with its total saved, then the store read back.
    StoreContents endAndRead(QProcess* app)
    {
        EXPECT_EQ(terminate(app), 0) << logOf(app).toStdString();
        const StoreContents contents = readStore();
        EXPECT_TRUE(contents.opened);
        EXPECT_EQ(contents.integrity, QStringLiteral("ok"));
        EXPECT_EQ(contents.rowCount, contents.totals.size()) << "a day was stored twice";
        return contents;
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
    const std::optional<qint64> afterForward = afterTicks(2);
    ASSERT_TRUE(afterForward.has_value());
    // The jump's tick adds at most 3 s, the other ticks about one each.
    EXPECT_GE(*afterForward, *beforeJumps + 1);
    EXPECT_LE(*afterForward, *beforeJumps + 3 + 3);

    SCOPED_TRACE("three hours back");
    ASSERT_TRUE(setFakeTime(berlin(day, QTime(9, 0))));
    const std::optional<qint64> afterBackward = afterTicks(3);
    ASSERT_TRUE(afterBackward.has_value());
    // The hours set back are paid off before anything counts again: the total neither drops
    // nor grows beyond the ticks that may have run between our look and the jump.
    EXPECT_GE(*afterBackward, *afterForward);
    EXPECT_LE(*afterBackward, *afterForward + 2);

    const StoreContents contents = endAndRead(app);
    EXPECT_EQ(contents.totals.size(), 1);
    EXPECT_GE(contents.totals.value(dayKey(day)), *afterBackward);
    EXPECT_LE(contents.totals.value(dayKey(day)), *afterBackward + 1);
}

TEST_F(ClockTest, jumpAcrossDaysSavesTheOldDayAndStartsTheNewOneFromZero)
{
    const QDate day(2026, 6, 10);
    const QDate later = day.addDays(2);
    constexpr qint64 earlierToday = 1'000;
    ASSERT_TRUE(seedDay(day, earlierToday));
    QProcess* app = startAt(berlin(day, QTime(15, 0)));
    ASSERT_NE(app, nullptr) << logOf(app).toStdString();
    const std::optional<qint64> beforeJump = waitForLiveSeconds(earlierToday + 2);
    ASSERT_TRUE(beforeJump.has_value());

    ASSERT_TRUE(setFakeTime(berlin(later, QTime(9, 0))));
    std::optional<qint64> newDay;
    ASSERT_TRUE(waitUntil(
        [&] {
            newDay = liveSeconds();
            return newDay && *newDay < earlierToday && *newDay >= 2;
        },
        10'000))
        << "the counter did not start the new day";
    EXPECT_LE(*newDay, 3 + 3);

    const StoreContents contents = endAndRead(app);
    EXPECT_EQ(contents.totals.keys(), (QList<qint64>{dayKey(day), dayKey(later)}));
    EXPECT_GE(contents.totals.value(dayKey(day)), *beforeJump);
    EXPECT_LE(contents.totals.value(dayKey(day)), *beforeJump + 2);
    EXPECT_GE(contents.totals.value(dayKey(later)), *newDay);
    EXPECT_LE(contents.totals.value(dayKey(later)), *newDay + 2);
}

TEST_F(ClockTest, runAcrossMidnightSavesBothDaysUnderTheirOwnStart)
{
    const QDate day(2026, 6, 10);
    constexpr qint64 earlierToday = 2'000;
    ASSERT_TRUE(seedDay(day, earlierToday));
    QProcess* app = startAt(berlin(day, QTime(23, 59, 55)));
    ASSERT_NE(app, nullptr) << logOf(app).toStdString();
    std::optional<qint64> newDay;
    ASSERT_TRUE(waitUntil(
        [&] {
            newDay = liveSeconds();
            return newDay && *newDay < earlierToday && *newDay >= 2;
        },
        15'000))
        << "the counter did not start the new day";

    const StoreContents contents = endAndRead(app);
    EXPECT_EQ(contents.totals.keys(), (QList<qint64>{dayKey(day), dayKey(day.addDays(1))}));
    // Five seconds before midnight, less the start-up, plus the tick that crosses it (up
    // to 3 s) on the new day.
    EXPECT_GE(contents.totals.value(dayKey(day)), earlierToday);
    EXPECT_LE(contents.totals.value(dayKey(day)), earlierToday + 5);
    EXPECT_GE(contents.totals.value(dayKey(day.addDays(1))), *newDay);
    EXPECT_LE(contents.totals.value(dayKey(day.addDays(1))), *newDay + 2);
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
    std::optional<qint64> lastTick;
    ASSERT_TRUE(waitUntil(
        [&] {
            lastTick = liveSeconds();
            return lastTick && *lastTick > *counted;
        },
        5'000));
    ASSERT_TRUE(setFakeTime(berlin(day.addDays(1), QTime(0, 0, 1))));

    const StoreContents contents = endAndRead(app);
    EXPECT_GE(contents.totals.value(dayKey(day)), *lastTick);
    EXPECT_LE(contents.totals.value(dayKey(day)), *lastTick + 1);
    EXPECT_LE(contents.totals.value(dayKey(day.addDays(1))), 1) << "the old day's total went to the new day";

    QProcess* again = startAt(berlin(day.addDays(1), QTime(0, 0, 5)));
    ASSERT_NE(again, nullptr) << logOf(again).toStdString();
    const std::optional<qint64> newDay = liveSeconds();
    ASSERT_TRUE(newDay.has_value());
    EXPECT_LT(*newDay, 10);
}

TEST_F(ClockTest, runAcrossTheChangeToSummerTimeCountsRealSecondsOnOneDay)
{
    // 02:00 CET becomes 03:00 CEST: the local clock skips an hour, the day keeps its key.
    const QDate day(2026, 3, 29);
    constexpr qint64 earlierToday = 500;
    ASSERT_TRUE(seedDay(day, earlierToday));
    QProcess* app = startAt(berlin(day, QTime(1, 59, 55)));
    ASSERT_NE(app, nullptr) << logOf(app).toStdString();
    // Eight ticks: across the change with a margin for a slow start.
    const std::optional<qint64> counted = waitForLiveSeconds(earlierToday + 8);
    ASSERT_TRUE(counted.has_value());

    const StoreContents contents = endAndRead(app);
    EXPECT_EQ(contents.totals.keys(), QList<qint64>{dayKey(day)});
    EXPECT_EQ(dayKey(day), berlin(day, QTime(0, 0)).toSecsSinceEpoch());
    EXPECT_GE(contents.totals.value(dayKey(day)), *counted);
    EXPECT_LE(contents.totals.value(dayKey(day)), *counted + 2) << "the skipped hour was counted";
}

} // namespace
