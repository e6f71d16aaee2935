#pragma once

#include <QString>

// The goal streak line of the panel: "N day streak" (the same wording for every count), or
// empty when the line is hidden because the goal is off or no streak is running.
QString streakLineText(bool dailyGoalEnabled, qint64 currentStreak);
