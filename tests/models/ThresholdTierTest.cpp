#include "ThresholdTier.h"
#include <gtest/gtest.h>

#include <limits>

TEST(ThresholdTier, aDayChangesTierAtExactlyTheStoredHours)
{
    constexpr qint64 hour = 3600;
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr auto green = ThresholdTier::green, yellow = ThresholdTier::yellow, red = ThresholdTier::red;
    const struct {
        qint64 greenHours, yellowHours, seconds;
        ThresholdTier expected;
    } cases[] = {// The stored hours; the defaults of 3 and 5 hours for zero or negative ones.
                 {1, 2, hour - 1, green},
                 {1, 2, hour, yellow},
                 {1, 2, 2 * hour, red},
                 {0, 0, 3 * hour - 1, green},
                 {0, 0, 3 * hour, yellow},
                 {-2, -2, 5 * hour - 1, yellow},
                 {-1, 0, 5 * hour, red},
                 // Yellow at or below green: straight from green to red.
                 {4, 2, 4 * hour - 1, green},
                 {4, 2, 4 * hour, red},
                 {4, 4, 4 * hour, red},
                 // Hours whose seconds do not fit are never reached; the largest that fit are exact.
                 {max / hour + 1, max, max, green},
                 {1, max / hour + 1, max, yellow},
                 {1, max / hour, max / hour * hour - 1, yellow},
                 {1, max / hour, max / hour * hour, red}};
    for (const auto& c : cases) {
        EXPECT_EQ(thresholdTierFor(c.seconds, c.greenHours, c.yellowHours), c.expected)
            << c.greenHours << "/" << c.yellowHours << " at " << c.seconds;
    }
}
