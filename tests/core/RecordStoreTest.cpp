#include "DailyGoal.h"
#include "StoreFixture.h"

#include <limits>

using namespace PreferenceKeys;

namespace {

// The goal is a ceiling, fixed at each save: switching it off later does not rewrite history.
class RecordStoreTest : public StoreFixture {
protected:
    RecordStoreTest()
        : StoreFixture({})
    {}
};

TEST_F(RecordStoreTest, goalFlagIsMetOnlyBelowTheGoalAndFixedAtEachSave)
{
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
        m_preferences.setValue(dailyGoalEnabled, c.enabled);
        m_preferences.setValue(dailyGoalHours, c.hours);
        EXPECT_EQ(isGoalMet(c.total, m_preferences), c.met);
    }
    const QDateTime day = QDate(2026, 4, 1).startOfDay();
    m_preferences.setValue(dailyGoalHours, 6);
    m_store->saveDayTotal(day, 21'599);
    m_preferences.setValue(dailyGoalEnabled, false);
    EXPECT_TRUE(m_store->fetchRecord(day)->goalMet());
    m_store->saveDayTotal(day, 21'599);
    EXPECT_FALSE(m_store->fetchRecord(day)->goalMet());
}

} // namespace
