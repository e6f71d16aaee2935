#include "FormatDuration.h"
#include "SpokenDuration.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

TEST(FormatDuration, eachUnitAppearsFromItsFirstSecondAndPadsTheUnitsAfterItInShortFormAndInWords)
{
    const struct {
        qint64 seconds;
        const char* withSeconds;
        const char* withoutSeconds;
        const char* spoken;
        const char* spokenWithoutSeconds;
    } cases[] = {{std::numeric_limits<qint64>::min(), "0s", "0m", "0 seconds", "0 minutes"},
                 {-1, "0s", "0m", "0 seconds", "0 minutes"},
                 {0, "0s", "0m", "0 seconds", "0 minutes"},
                 {59, "59s", "0m", "59 seconds", "0 minutes"},
                 {60, "1m 00s", "1m", "1 minute 0 seconds", "1 minute"},
                 {307, "5m 07s", "5m", "5 minutes 7 seconds", "5 minutes"},
                 {3599, "59m 59s", "59m", "59 minutes 59 seconds", "59 minutes"},
                 {3600, "1h 00m 00s", "1h 00m", "1 hour 0 minutes 0 seconds", "1 hour 0 minutes"},
                 {3661, "1h 01m 01s", "1h 01m", "1 hour 1 minute 1 second", "1 hour 1 minute"},
                 {16632, "4h 37m 12s", "4h 37m", "4 hours 37 minutes 12 seconds", "4 hours 37 minutes"},
                 {90000, "25h 00m 00s", "25h 00m", "25 hours 0 minutes 0 seconds", "25 hours 0 minutes"},
                 {std::numeric_limits<qint64>::max(), "2562047788015215h 30m 07s", "2562047788015215h 30m",
                  "2562047788015215 hours 30 minutes 7 seconds", "2562047788015215 hours 30 minutes"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatDuration(c.seconds, true), QString::fromLatin1(c.withSeconds)) << c.seconds;
        EXPECT_EQ(formatDuration(c.seconds, false), QString::fromLatin1(c.withoutSeconds)) << c.seconds;
        EXPECT_EQ(spokenDuration(c.seconds, true), QString::fromLatin1(c.spoken)) << c.seconds;
        EXPECT_EQ(spokenDuration(c.seconds, false), QString::fromLatin1(c.spokenWithoutSeconds)) << c.seconds;
    }
}
