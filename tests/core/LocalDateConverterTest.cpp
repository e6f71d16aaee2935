#include "LocalDateConverter.h"

#include "QtPrinters.h"
#include "ScopedTimeZone.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

// The converter must agree with QDateTime's local time everywhere, including the hours
// around DST changes, skipped midnights and zones set while the process runs.
TEST(LocalDateConverterTest, agreesWithLocalTimeAcrossZonesAndTransitions)
{
    for (const char* zoneName : {"Europe/Berlin", "America/New_York", "America/Santiago", "Pacific/Apia",
                                 "Australia/Lord_Howe", "UTC"}) {
        SCOPED_TRACE(zoneName);
        ScopedTimeZone zone(zoneName);
        const LocalDateConverter converter;
        const qint64 start = QDateTime(QDate(2011, 12, 25), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
        for (qint64 seconds = start; seconds < start + 16LL * 365 * 86400; seconds += 86400 / 4 + 1793) {
            const QDate expected = QDateTime::fromSecsSinceEpoch(seconds).date();
            ASSERT_EQ(converter.dateOf(seconds), expected) << "at " << seconds;
        }
        for (int day = 0; day < 40; ++day) {
            const QDateTime midnight = QDate(2026, 3, 1).addDays(day).startOfDay();
            ASSERT_EQ(converter.dateOf(midnight.toSecsSinceEpoch()), midnight.date());
            ASSERT_EQ(converter.dateOf(midnight.toSecsSinceEpoch() - 1), midnight.date().addDays(-1));
        }
    }
}

} // namespace
