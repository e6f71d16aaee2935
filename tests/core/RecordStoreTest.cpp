#include "RecordStore.h"
#include "DailyGoal.h"
#include "Preferences.h"
#include "StoreOpener.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using namespace PreferenceKeys;

namespace {

// The goal is a ceiling, fixed at each save: switching it off later does not rewrite history.
TEST(RecordStoreTest, goalFlagIsMetOnlyBelowTheGoalAndFixedAtEachSave)
{
    QTemporaryDir dir;
    Preferences preferences(dir.filePath(QStringLiteral("p.conf")));
    preferences.registerDefaults();
    const qint64 huge = std::numeric_limits<qint64>::max();
    const struct {
        bool enabled;
        qint64 hours, total;
        bool met;
    } cases[] = {{false, 6, 0, false},        {true, 6, 0, true},  {true, 6, 21'599, true},
                 {true, 6, 21'600, false},    {true, 0, 0, false}, {true, -3, 0, false},
                 {true, huge, huge - 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << ", " << c.hours << " h, " << c.total << " s");
        preferences.setValue(dailyGoalEnabled, c.enabled);
        preferences.setValue(dailyGoalHours, c.hours);
        EXPECT_EQ(isGoalMet(c.total, preferences), c.met);
    }
    const std::unique_ptr<RecordStore> store = StoreOpener(dir.path(), preferences).open(QDateTime()).store;
    const QDateTime day = QDate(2026, 4, 1).startOfDay();
    preferences.setValue(dailyGoalHours, 6);
    store->saveDayTotal(day, 21'599);
    preferences.setValue(dailyGoalEnabled, false);
    EXPECT_TRUE(store->fetchRecord(day)->goalMet());
    store->saveDayTotal(day, 21'599);
    EXPECT_FALSE(store->fetchRecord(day)->goalMet());
}

} // namespace
