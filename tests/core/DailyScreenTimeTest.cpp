#include "DailyScreenTime.h"
#include "LocalDay.h"

#include "QtPrinters.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace {

QDateTime local(int year, int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

constexpr qint64 hour = 3600;

TEST(DailyScreenTimeTest, recordStoresTheStartOfTheLocalDay)
{
    ScopedTimeZone zone("Europe/Berlin");
    const DailyScreenTime record(local(2026, 12, 5, 14, 37), 120, true);
    EXPECT_EQ(record.date(), local(2026, 12, 5));
    EXPECT_EQ(record.totalSeconds(), 120);
    EXPECT_TRUE(record.goalMet());
    EXPECT_EQ(record.id(), 0);

    // A moment given in UTC belongs to the local day it falls on (Berlin is UTC+1 in winter).
    const QDateTime lateUtc(QDate(2026, 12, 5), QTime(23, 30), Qt::UTC);
    EXPECT_EQ(DailyScreenTime(lateUtc, 0, false).date(), local(2026, 12, 6));
}

TEST(DailyScreenTimeTest, dayStartsAcrossDaylightSavingChanges)
{
    ScopedTimeZone zone("America/New_York");
    {
        SCOPED_TRACE("spring forward: a 23-hour day");
        const QDateTime start = startOfLocalDay(local(2026, 3, 8, 23, 30));
        EXPECT_EQ(start, local(2026, 3, 8));
        EXPECT_EQ(start.secsTo(startOfLocalDay(local(2026, 3, 9, 12))), 23 * hour);
    }
    {
        SCOPED_TRACE("fall back: a 25-hour day");
        const QDateTime start = startOfLocalDay(local(2026, 11, 1, 23, 59));
        EXPECT_EQ(start.secsTo(startOfLocalDay(local(2026, 11, 2, 0, 1))), 25 * hour);
    }
}

TEST(DailyScreenTimeTest, dayWhoseMidnightIsSkippedStartsAtItsFirstInstant)
{
    // Chile moves its clocks from 24:00 to 01:00: 6 September 2026 has no midnight.
    ScopedTimeZone zone("America/Santiago");
    const DailyScreenTime record(local(2026, 9, 6, 14, 37), 0, false);
    EXPECT_EQ(record.date().date(), QDate(2026, 9, 6));
    EXPECT_EQ(record.date().time(), QTime(1, 0));
    const QDateTime dayBefore = startOfLocalDay(local(2026, 9, 5, 23, 59));
    EXPECT_EQ(dayBefore, local(2026, 9, 5));
    EXPECT_EQ(dayBefore.secsTo(record.date()), 24 * hour);
    EXPECT_EQ(record.date().secsTo(startOfLocalDay(local(2026, 9, 7, 8))), 23 * hour);
}

TEST(DailyScreenTimeTest, skippedCalendarDayLeavesNeighboursDistinct)
{
    // Samoa skipped 30 December 2011 entirely.
    ScopedTimeZone zone("Pacific/Apia");
    const QDateTime before = startOfLocalDay(local(2011, 12, 29, 22));
    const QDateTime after = startOfLocalDay(QDateTime(QDate(2011, 12, 31), QTime(9, 0)));
    EXPECT_EQ(before.date(), QDate(2011, 12, 29));
    EXPECT_EQ(after.date(), QDate(2011, 12, 31));
    EXPECT_EQ(before.secsTo(after), 24 * hour);
}

TEST(DailyScreenTimeTest, timeZoneChangeGivesADifferentDayIdentity)
{
    const QDateTime moment(QDate(2026, 12, 5), QTime(15, 0), Qt::UTC);
    qint64 berlinStart = 0;
    {
        ScopedTimeZone zone("Europe/Berlin");
        berlinStart = DailyScreenTime(moment, 0, false).dateSecondsSinceEpoch();
    }
    ScopedTimeZone zone("America/New_York");
    const qint64 newYorkStart = DailyScreenTime(moment, 0, false).dateSecondsSinceEpoch();
    EXPECT_EQ(newYorkStart - berlinStart, 6 * hour);
}

} // namespace
