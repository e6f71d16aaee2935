#include "NotificationScheduler.h"
#include "WallClockTimer.h"

#include "FakeClock.h"
#include "QtPrinters.h"
#include "ScopedTimeZone.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDateTime local(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

QDateTime utc(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

CalendarTrigger daily(int hour, int minute = 0)
{
    return CalendarTrigger{std::nullopt, hour, minute, true};
}

CalendarTrigger weekly(int weekday, int hour)
{
    return CalendarTrigger{weekday, hour, 0, true};
}

QDateTime nextAfter(const CalendarTrigger& trigger, const QDateTime& after)
{
    return NotificationScheduler::nextDeliveryAfter(trigger, after);
}

// ---- The next occurrence of a trigger -------------------------------------------------------

class NextDeliveryTest : public testing::Test {
protected:
    ScopedTimeZone m_zone{"Europe/Berlin"};
};

TEST_F(NextDeliveryTest, dailyBeforeTheHourFallsOnTheSameDay)
{
    EXPECT_EQ(nextAfter(daily(22), local(2026, 6, 10, 21, 59, 59)), local(2026, 6, 10, 22, 0));
}

TEST_F(NextDeliveryTest, dailyAfterTheHourFallsOnTheNextDay)
{
    EXPECT_EQ(nextAfter(daily(22), local(2026, 6, 10, 22, 0, 1)), local(2026, 6, 11, 22, 0));
}

TEST_F(NextDeliveryTest, dailyExactlyAtTheHourFallsOnTheNextDay)
{
    EXPECT_EQ(nextAfter(daily(22), local(2026, 6, 10, 22, 0)), local(2026, 6, 11, 22, 0));
}

TEST_F(NextDeliveryTest, minuteIsHonoured)
{
    EXPECT_EQ(nextAfter(daily(7, 45), local(2026, 6, 10, 7, 30)), local(2026, 6, 10, 7, 45));
}

TEST_F(NextDeliveryTest, weeklyFromSaturdayEveningFallsOnSundayMidnight)
{
    EXPECT_EQ(nextAfter(weekly(1, 0), local(2026, 6, 13, 21, 0)), local(2026, 6, 14, 0, 0));
}

TEST_F(NextDeliveryTest, weeklyFromJustAfterSundayMidnightFallsOnTheNextSunday)
{
    EXPECT_EQ(nextAfter(weekly(1, 0), local(2026, 6, 14, 0, 0, 1)), local(2026, 6, 21, 0, 0));
}

TEST_F(NextDeliveryTest, weekdaysCountFromSundayAsOne)
{
    const QDateTime wednesday = local(2026, 6, 10, 12, 0);
    EXPECT_EQ(nextAfter(weekly(2, 9), wednesday), local(2026, 6, 15, 9, 0));   // Monday
    EXPECT_EQ(nextAfter(weekly(7, 9), wednesday), local(2026, 6, 13, 9, 0));   // Saturday
    EXPECT_EQ(nextAfter(weekly(4, 13), wednesday), local(2026, 6, 10, 13, 0)); // today
}

TEST_F(NextDeliveryTest, triggerOutOfRangeHasNoDelivery)
{
    const QDateTime now = local(2026, 6, 10, 12, 0);
    EXPECT_FALSE(nextAfter(weekly(0, 9), now).isValid());
    EXPECT_FALSE(nextAfter(weekly(8, 9), now).isValid());
    EXPECT_FALSE(nextAfter(daily(24), now).isValid());
    EXPECT_FALSE(nextAfter(daily(-1), now).isValid());
    EXPECT_FALSE(nextAfter(daily(9, 60), now).isValid());
}

// ---- Daylight-saving changes ----------------------------------------------------------------

TEST(DaylightSavingTest, berlinSpringForwardTimeInTheGapFiresWhenTheGapEnds)
{
    ScopedTimeZone zone("Europe/Berlin");
    // 2026-03-29: 02:00 CET jumps to 03:00 CEST, at 01:00 UTC.
    EXPECT_EQ(nextAfter(daily(2), local(2026, 3, 28, 23, 0)), utc(2026, 3, 29, 1, 0));
    EXPECT_EQ(nextAfter(daily(2, 30), local(2026, 3, 28, 23, 0)), utc(2026, 3, 29, 1, 0));
    // The day after, 02:00 exists again.
    EXPECT_EQ(nextAfter(daily(2), utc(2026, 3, 29, 1, 0)), utc(2026, 3, 30, 0, 0));
}

TEST(DaylightSavingTest, berlinDailyHourStaysOnTheWallClockAcrossTheShortDay)
{
    ScopedTimeZone zone("Europe/Berlin");
    const QDateTime saturday = local(2026, 3, 28, 22, 0);
    const QDateTime sunday = nextAfter(daily(22), saturday);
    EXPECT_EQ(sunday, utc(2026, 3, 29, 20, 0));
    EXPECT_EQ(saturday.secsTo(sunday), 23 * 3600);
}

TEST(DaylightSavingTest, berlinFallBackRepeatedTimeFiresOnce)
{
    ScopedTimeZone zone("Europe/Berlin");
    // 2026-10-25: 03:00 CEST falls back to 02:00 CET, so 02:30 happens at 00:30 and 01:30 UTC.
    const QDateTime first = nextAfter(daily(2, 30), local(2026, 10, 24, 23, 0));
    EXPECT_EQ(first, utc(2026, 10, 25, 0, 30));
    EXPECT_EQ(nextAfter(daily(2, 30), first), utc(2026, 10, 26, 1, 30));
    EXPECT_EQ(nextAfter(daily(2, 30), utc(2026, 10, 25, 1, 0)), utc(2026, 10, 26, 1, 30));
}

TEST(DaylightSavingTest, berlinDailyHourStaysOnTheWallClockAcrossTheLongDay)
{
    ScopedTimeZone zone("Europe/Berlin");
    const QDateTime saturday = local(2026, 10, 24, 22, 0);
    EXPECT_EQ(saturday.secsTo(nextAfter(daily(22), saturday)), 25 * 3600);
}

TEST(DaylightSavingTest, newYorkSpringForwardTimeInTheGapFiresWhenTheGapEnds)
{
    ScopedTimeZone zone("America/New_York");
    // 2026-03-08: 02:00 EST jumps to 03:00 EDT, at 07:00 UTC.
    EXPECT_EQ(nextAfter(daily(2), local(2026, 3, 7, 23, 0)), utc(2026, 3, 8, 7, 0));
    EXPECT_EQ(nextAfter(weekly(1, 2), local(2026, 3, 7, 23, 0)), utc(2026, 3, 8, 7, 0));
}

TEST(DaylightSavingTest, newYorkFallBackRepeatedTimeFiresOnce)
{
    ScopedTimeZone zone("America/New_York");
    // 2026-11-01: 02:00 EDT falls back to 01:00 EST, so 01:30 happens at 05:30 and 06:30 UTC.
    const QDateTime first = nextAfter(daily(1, 30), local(2026, 10, 31, 23, 0));
    EXPECT_EQ(first, utc(2026, 11, 1, 5, 30));
    EXPECT_EQ(nextAfter(daily(1, 30), first), utc(2026, 11, 2, 6, 30));
}

// ---- Keeping and delivering requests --------------------------------------------------------

NotificationRequest request(const QString& identifier, const QString& body, CalendarTrigger trigger)
{
    return {identifier, u"Lumatick"_s, body, true, trigger};
}

class NotificationSchedulerTest : public testing::Test {
protected:
    ScopedTimeZone m_zone{"Europe/Berlin"};
    // Held in UTC, so a test that changes the zone moves the wall clock, not the instant.
    FakeClock m_clock{local(2026, 6, 10, 21, 0).toUTC()};
    QStringList m_delivered;
    NotificationScheduler m_scheduler{m_clock.clock(), [this](const NotificationRequest& delivered) {
                                          m_delivered.append(delivered.identifier + u':' + delivered.body);
                                      }};
};

TEST_F(NotificationSchedulerTest, deliversWhenTheTimeComesThenWaitsForTheNextDay)
{
    ASSERT_TRUE(m_scheduler.schedule(request(u"daily"_s, u"Today"_s, daily(22))));

    m_clock.set(local(2026, 6, 10, 21, 59, 59));
    m_scheduler.deliverDue();
    EXPECT_TRUE(m_delivered.isEmpty());

    m_clock.set(local(2026, 6, 10, 22, 0));
    m_scheduler.deliverDue();
    EXPECT_EQ(m_delivered, QStringList{u"daily:Today"_s});
    EXPECT_EQ(m_scheduler.deliveryOf(u"daily"_s), local(2026, 6, 11, 22, 0));
}

TEST_F(NotificationSchedulerTest, laterRequestUnderTheSameIdentifierReplacesTheEarlier)
{
    m_scheduler.schedule(request(u"daily"_s, u"old"_s, daily(22)));
    m_scheduler.schedule(request(u"daily"_s, u"new"_s, daily(21, 30)));

    EXPECT_EQ(m_scheduler.pendingIdentifiers(), QStringList{u"daily"_s});
    m_clock.set(local(2026, 6, 10, 21, 30));
    m_scheduler.deliverDue();
    EXPECT_EQ(m_delivered, QStringList{u"daily:new"_s});
}

TEST_F(NotificationSchedulerTest, removedRequestIsNeverDelivered)
{
    m_scheduler.schedule(request(u"daily"_s, u"Today"_s, daily(22)));
    m_scheduler.schedule(request(u"weekly"_s, u"Week"_s, weekly(4, 22)));
    m_scheduler.remove(u"daily"_s);
    m_scheduler.remove(u"unknown"_s);

    m_clock.set(local(2026, 6, 10, 22, 0));
    m_scheduler.deliverDue();
    EXPECT_EQ(m_delivered, QStringList{u"weekly:Week"_s});
}

TEST_F(NotificationSchedulerTest, requestThatDoesNotRepeatIsDeliveredOnce)
{
    CalendarTrigger once = daily(22);
    once.repeats = false;
    m_scheduler.schedule(request(u"once"_s, u"Once"_s, once));

    m_clock.set(local(2026, 6, 10, 22, 0));
    m_scheduler.deliverDue();
    m_clock.set(local(2026, 6, 11, 22, 0));
    m_scheduler.deliverDue();
    EXPECT_EQ(m_delivered, QStringList{u"once:Once"_s});
    EXPECT_FALSE(m_scheduler.isPending(u"once"_s));
}

TEST_F(NotificationSchedulerTest, requestWithoutTriggerOrOutOfRangeIsRefused)
{
    EXPECT_FALSE(m_scheduler.schedule({u"now"_s, u"Lumatick"_s, u"Now"_s, true, std::nullopt}));
    EXPECT_FALSE(m_scheduler.schedule(request(u"bad"_s, u"Bad"_s, weekly(9, 22))));
    EXPECT_TRUE(m_scheduler.pendingIdentifiers().isEmpty());
}

TEST_F(NotificationSchedulerTest, nextDeliveryIsTheEarliestOfAllRequests)
{
    QSignalSpy changed(&m_scheduler, &NotificationScheduler::nextDeliveryChanged);
    m_scheduler.schedule(request(u"daily"_s, u"Today"_s, daily(22)));
    m_scheduler.schedule(request(u"early"_s, u"Early"_s, daily(21, 30)));

    EXPECT_EQ(m_scheduler.nextDelivery(), local(2026, 6, 10, 21, 30));
    m_scheduler.remove(u"early"_s);
    EXPECT_EQ(m_scheduler.nextDelivery(), local(2026, 6, 10, 22, 0));
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(NotificationSchedulerTest, clockSetBackRecomputesTheEarlierOccurrence)
{
    m_clock.set(local(2026, 6, 10, 22, 30));
    m_scheduler.schedule(request(u"daily"_s, u"Today"_s, daily(22)));
    ASSERT_EQ(m_scheduler.deliveryOf(u"daily"_s), local(2026, 6, 11, 22, 0));

    m_clock.set(local(2026, 6, 9, 8, 0));
    m_scheduler.recompute();
    EXPECT_EQ(m_scheduler.deliveryOf(u"daily"_s), local(2026, 6, 9, 22, 0));
    EXPECT_TRUE(m_delivered.isEmpty());
}

TEST_F(NotificationSchedulerTest, clockSetFarPastADeliverySkipsItAndWaitsForTheNext)
{
    m_scheduler.schedule(request(u"daily"_s, u"Today"_s, daily(22)));

    m_clock.set(local(2026, 6, 12, 23, 0));
    m_scheduler.recompute();
    EXPECT_TRUE(m_delivered.isEmpty());
    EXPECT_EQ(m_scheduler.deliveryOf(u"daily"_s), local(2026, 6, 13, 22, 0));
}

TEST_F(NotificationSchedulerTest, deliveryMissedByLessThanTheGraceIsMadeUp)
{
    m_scheduler.schedule(request(u"daily"_s, u"Today"_s, daily(22)));

    m_clock.set(local(2026, 6, 10, 22, 5));
    m_scheduler.recompute();
    EXPECT_EQ(m_delivered, QStringList{u"daily:Today"_s});
    EXPECT_EQ(m_scheduler.deliveryOf(u"daily"_s), local(2026, 6, 11, 22, 0));
}

TEST_F(NotificationSchedulerTest, timeZoneChangeMovesTheDeliveryToTheNewWallClock)
{
    m_scheduler.schedule(request(u"daily"_s, u"Today"_s, daily(22)));
    ASSERT_EQ(m_scheduler.deliveryOf(u"daily"_s), utc(2026, 6, 10, 20, 0));

    ScopedTimeZone travelled("America/New_York");
    m_scheduler.recompute();
    // 21:00 in Berlin is 15:00 in New York, so 22:00 there is still today, at 02:00 UTC.
    EXPECT_EQ(m_scheduler.deliveryOf(u"daily"_s), utc(2026, 6, 11, 2, 0));
}

// ---- The wall-clock timer -------------------------------------------------------------------

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

TEST(WallClockTimerTest, firesAtTheInstantItWasSetFor)
{
    WallClockTimer timer;
    QSignalSpy fired(&timer, &WallClockTimer::timeout);
    const QDateTime instant = QDateTime::currentDateTimeUtc().addMSecs(300);
    timer.start(instant);

    EXPECT_TRUE(timer.followsWallClock());
    EXPECT_TRUE(timer.isActive());
    ASSERT_TRUE(waitUntil([&] { return fired.count() > 0; }, 5000));
    EXPECT_GE(QDateTime::currentDateTimeUtc(), instant);
    EXPECT_EQ(fired.count(), 1);
    EXPECT_FALSE(timer.isActive());
}

TEST(WallClockTimerTest, instantAlreadyPastFiresAtOnce)
{
    WallClockTimer timer;
    QSignalSpy fired(&timer, &WallClockTimer::timeout);
    timer.start(QDateTime::currentDateTimeUtc().addSecs(-3600));
    EXPECT_TRUE(waitUntil([&] { return fired.count() > 0; }, 2000));
}

TEST(WallClockTimerTest, stoppedOrRearmedTimerDoesNotFireForTheOldInstant)
{
    WallClockTimer stopped;
    WallClockTimer rearmed;
    WallClockTimer witness;
    QSignalSpy stoppedFired(&stopped, &WallClockTimer::timeout);
    QSignalSpy rearmedFired(&rearmed, &WallClockTimer::timeout);
    QSignalSpy witnessFired(&witness, &WallClockTimer::timeout);
    const QDateTime soon = QDateTime::currentDateTimeUtc().addMSecs(100);
    stopped.start(soon);
    rearmed.start(soon);
    witness.start(soon.addMSecs(200));
    stopped.stop();
    rearmed.start(soon.addSecs(3600));

    ASSERT_TRUE(waitUntil([&] { return witnessFired.count() > 0; }, 5000));
    EXPECT_EQ(stoppedFired.count(), 0);
    EXPECT_EQ(rearmedFired.count(), 0);
    EXPECT_TRUE(rearmed.isActive());
}

} // namespace
