#include "StreakText.h"

QString streakLineText(bool dailyGoalEnabled, qint64 currentStreak)
{
    if (!dailyGoalEnabled || currentStreak < 1)
        return {};
    return QString::number(currentStreak) + QStringLiteral(" day streak");
}

QString streakSpokenText(bool dailyGoalEnabled, qint64 currentStreak)
{
    if (!dailyGoalEnabled || currentStreak < 1)
        return {};
    return QString::number(currentStreak) + QStringLiteral("-day streak");
}
