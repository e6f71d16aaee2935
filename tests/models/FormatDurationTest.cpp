#include "FormatDuration.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

TEST(FormatDuration, eachUnitAppearsFromItsFirstSecondAndPadsTheUnitsAfterIt)
{
    const struct {
        qint64 seconds;
        const char* withSeconds;
        const char* withoutSeconds;
    } cases[] = {{std::numeric_limits<qint64>::min(), "0s", "0m"},
                 {-1, "0s", "0m"},
                 {0, "0s", "0m"},
                 {59, "59s", "0m"},
                 {60, "1m 00s", "1m"},
                 {307, "5m 07s", "5m"},
                 {3599, "59m 59s", "59m"},
                 {3600, "1h 00m 00s", "1h 00m"},
                 {3661, "1h 01m 01s", "1h 01m"},
                 {16632, "4h 37m 12s", "4h 37m"},
                 {90000, "25h 00m 00s", "25h 00m"},
                 {std::numeric_limits<qint64>::max(), "2562047788015215h 30m 07s", "2562047788015215h 30m"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatDuration(c.seconds, true), QString::fromLatin1(c.withSeconds)) << c.seconds;
        EXPECT_EQ(formatDuration(c.seconds, false), QString::fromLatin1(c.withoutSeconds)) << c.seconds;
    }
}
