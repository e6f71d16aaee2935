#include "DailyGoal.h"
#include "Preferences.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace PreferenceKeys;

namespace {

TEST(DailyGoalTest, goalIsACeilingMetOnlyBelowIt)
{
    QTemporaryDir dir;
    Preferences preferences(dir.filePath(QStringLiteral("p.conf")));
    preferences.registerDefaults();

    // Off by default, whatever the total.
    EXPECT_FALSE(isGoalMet(0, preferences));

    preferences.setValue(dailyGoalEnabled, true);
    EXPECT_TRUE(isGoalMet(0, preferences));
    EXPECT_TRUE(isGoalMet(21'599, preferences));
    EXPECT_FALSE(isGoalMet(21'600, preferences));
    EXPECT_FALSE(isGoalMet(90'000, preferences));

    for (qint64 unusableGoal : {0LL, -3LL}) {
        SCOPED_TRACE(unusableGoal);
        preferences.setValue(dailyGoalHours, unusableGoal);
        EXPECT_FALSE(isGoalMet(0, preferences));
    }

    preferences.setValue(dailyGoalHours, std::numeric_limits<qint64>::max());
    EXPECT_TRUE(isGoalMet(std::numeric_limits<qint64>::max() - 1, preferences));
}

} // namespace
