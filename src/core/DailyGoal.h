#pragma once

#include <QtGlobal>

class Preferences;

// The daily goal is a ceiling: a day meets it by staying below dailyGoalHours. With the goal
// switched off, or a goal below one hour, no day meets it.
bool isGoalMet(qint64 totalSeconds, const Preferences& preferences);
