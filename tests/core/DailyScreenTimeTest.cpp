#include "DailyScreenTime.h"
#include "LocalDateConverter.h"
#include "LocalDay.h"

#include "QtPrinters.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace {

// A record keeps the start of the local day it falls on; the next day starts after the day's
// real length, which daylight saving and skipped days change. The batch converter that the
// history and the export use must agree on both edges.
TEST(DailyScreenTimeTest, recordKeepsTheStartOfItsLocalDayWhateverTheDayLasts)
{
    const struct {
        const char* zone;
        QDate date;
        QTime time;
        Qt::TimeSpec zoneKind;
        QDate startDate;
        QTime startTime;
        int hoursUntilNextDay;
    } cases[] = {
        {"Europe/Berlin", {2026, 12, 5}, {14, 37}, Qt::LocalTime, {2026, 12, 5}, {0, 0}, 24},
        // The clock gives UTC; the record belongs to the local day (Berlin is UTC+1 in winter).
        {"Europe/Berlin", {2026, 12, 5}, {23, 30}, Qt::UTC, {2026, 12, 6}, {0, 0}, 24},
        {"America/New_York", {2026, 3, 8}, {23, 30}, Qt::LocalTime, {2026, 3, 8}, {0, 0}, 23},
        {"America/New_York", {2026, 11, 1}, {23, 59}, Qt::LocalTime, {2026, 11, 1}, {0, 0}, 25},
        // Clocks go from 24:00 to 01:00: 6 September 2026 has no midnight.
        {"America/Santiago", {2026, 9, 5}, {23, 59}, Qt::LocalTime, {2026, 9, 5}, {0, 0}, 24},
        {"America/Santiago", {2026, 9, 6}, {14, 37}, Qt::LocalTime, {2026, 9, 6}, {1, 0}, 23},
        // Samoa skipped 30 December 2011 entirely.
        {"Pacific/Apia", {2011, 12, 29}, {22, 0}, Qt::LocalTime, {2011, 12, 29}, {0, 0}, 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << ' ' << c.date.toString(Qt::ISODate).toStdString());
        const ScopedTimeZone zone(c.zone);
        const DailyScreenTime record(QDateTime(c.date, c.time, c.zoneKind), 120, true);
        EXPECT_EQ(record.date(), QDateTime(c.startDate, c.startTime));
        const QDateTime next = startOfLocalDay(record.date().addSecs(30 * 3600));
        EXPECT_EQ(record.date().secsTo(next), c.hoursUntilNextDay * 3600);
        const LocalDateConverter converter;
        EXPECT_EQ(converter.dateOf(record.dateSecondsSinceEpoch()), c.startDate);
        EXPECT_EQ(converter.dateOf(next.toSecsSinceEpoch() - 1), c.startDate);
        EXPECT_EQ(converter.dateOf(next.toSecsSinceEpoch()), next.date());
    }
}

} // namespace
