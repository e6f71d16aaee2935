#include "DailyGoal.h"

#include "Preferences.h"

#include <limits>

bool isGoalMet(qint64 totalSeconds, const Preferences& preferences)
{
    if (!preferences.value(PreferenceKeys::dailyGoalEnabled))
        return false;
    const qint64 goalHours = preferences.value(PreferenceKeys::dailyGoalHours);
    if (goalHours < 1)
        return false;
    // Compared in hours where the goal is absurdly large, so the product cannot overflow.
    constexpr qint64 maxHours = std::numeric_limits<qint64>::max() / 3600;
    if (goalHours > maxHours)
        return true;
    return totalSeconds < goalHours * 3600;
}
