#pragma once

#include <QString>

// The goal streak line of the panel: "N day streak" (the same wording for every count), or
// empty when the line is hidden because the goal is off or no streak is running.
QString streakLineText(bool dailyGoalEnabled, qint64 currentStreak);

// The same line for screen readers, "17-day streak", which reads as words where the shown
// line follows the fire symbol; empty whenever the line is hidden.
QString streakSpokenText(bool dailyGoalEnabled, qint64 currentStreak);
