#include "ThresholdTier.h"

#include "Preferences.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 hour = 3600;
constexpr qint64 maxSeconds = std::numeric_limits<qint64>::max();

class ThresholdTierTest : public testing::Test {
protected:
    void SetUp() override { m_preferences.registerDefaults(); }

    void setThresholds(qint64 greenHours, qint64 yellowHours)
    {
        m_preferences.setValue(PreferenceKeys::greenThresholdHours, greenHours);
        m_preferences.setValue(PreferenceKeys::yellowThresholdHours, yellowHours);
    }

    ThresholdTier tierFor(qint64 seconds) const { return thresholdTierFor(seconds, m_preferences); }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
};

} // namespace

TEST_F(ThresholdTierTest, defaultsSwitchExactlyAtThreeAndFiveHours)
{
    EXPECT_EQ(tierFor(0), ThresholdTier::green);
    EXPECT_EQ(tierFor(3 * hour - 1), ThresholdTier::green);
    EXPECT_EQ(tierFor(3 * hour), ThresholdTier::yellow);
    EXPECT_EQ(tierFor(5 * hour - 1), ThresholdTier::yellow);
    EXPECT_EQ(tierFor(5 * hour), ThresholdTier::red);
}

TEST_F(ThresholdTierTest, storedThresholdsApplyOnTheNextCall)
{
    setThresholds(1, 2);
    EXPECT_EQ(tierFor(hour - 1), ThresholdTier::green);
    EXPECT_EQ(tierFor(hour), ThresholdTier::yellow);
    EXPECT_EQ(tierFor(2 * hour), ThresholdTier::red);
}

TEST_F(ThresholdTierTest, nonPositiveThresholdsFallBackToDefaults)
{
    for (const qint64 stored : {qint64{0}, qint64{-2}, std::numeric_limits<qint64>::min()}) {
        SCOPED_TRACE(stored);
        setThresholds(stored, stored);
        EXPECT_EQ(tierFor(3 * hour - 1), ThresholdTier::green);
        EXPECT_EQ(tierFor(3 * hour), ThresholdTier::yellow);
        EXPECT_EQ(tierFor(5 * hour - 1), ThresholdTier::yellow);
        EXPECT_EQ(tierFor(5 * hour), ThresholdTier::red);
    }
}

TEST_F(ThresholdTierTest, yellowAtOrBelowGreenGoesStraightToRed)
{
    setThresholds(4, 2);
    EXPECT_EQ(tierFor(4 * hour - 1), ThresholdTier::green);
    EXPECT_EQ(tierFor(4 * hour), ThresholdTier::red);
    setThresholds(4, 4);
    EXPECT_EQ(tierFor(4 * hour - 1), ThresholdTier::green);
    EXPECT_EQ(tierFor(4 * hour), ThresholdTier::red);
}

TEST_F(ThresholdTierTest, hugeThresholdsDoNotOverflow)
{
    const qint64 firstOverflowingHours = maxSeconds / hour + 1;
    setThresholds(firstOverflowingHours, maxSeconds);
    EXPECT_EQ(tierFor(maxSeconds), ThresholdTier::green);
    setThresholds(1, firstOverflowingHours);
    EXPECT_EQ(tierFor(hour), ThresholdTier::yellow);
    EXPECT_EQ(tierFor(maxSeconds), ThresholdTier::yellow);
    // The largest threshold that still fits is compared exactly.
    setThresholds(1, maxSeconds / hour);
    EXPECT_EQ(tierFor(maxSeconds / hour * hour - 1), ThresholdTier::yellow);
    EXPECT_EQ(tierFor(maxSeconds / hour * hour), ThresholdTier::red);
}

TEST(ThresholdTierRaw, appliesTheSameRuleAndFallbacks)
{
    EXPECT_EQ(thresholdTierFor(3 * hour - 1, 0, 0), ThresholdTier::green);
    EXPECT_EQ(thresholdTierFor(3 * hour, 0, 0), ThresholdTier::yellow);
    EXPECT_EQ(thresholdTierFor(5 * hour, -1, -1), ThresholdTier::red);
    EXPECT_EQ(thresholdTierFor(2 * hour - 1, 2, 7), ThresholdTier::green);
    EXPECT_EQ(thresholdTierFor(7 * hour - 1, 2, 7), ThresholdTier::yellow);
    EXPECT_EQ(thresholdTierFor(7 * hour, 2, 7), ThresholdTier::red);
    EXPECT_EQ(thresholdTierFor(maxSeconds, maxSeconds, maxSeconds), ThresholdTier::green);
}

TEST(ThresholdTierRaw, namesAreStableLowercaseWords)
{
    EXPECT_EQ(tierName(ThresholdTier::green), u"green"_s);
    EXPECT_EQ(tierName(ThresholdTier::yellow), u"yellow"_s);
    EXPECT_EQ(tierName(ThresholdTier::red), u"red"_s);
}
