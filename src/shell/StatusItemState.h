#pragma once

#include "ThresholdTier.h"

#include <QString>

// Where the time goes: the values of the "timePlacement" preference.
enum class TimePlacement { automatic = 0, besideIcon = 1, inIcon = 2 };

// A stored value out of range counts as automatic.
inline TimePlacement timePlacementFrom(qint64 stored)
{
    return stored == 1   ? TimePlacement::besideIcon
           : stored == 2 ? TimePlacement::inIcon
                         : TimePlacement::automatic;
}

// The figures one redraw of the status item needs, read from the menu bar view model and the
// preferences by the caller, so the presenter depends on neither.
struct StatusItemState {
    QString formattedTime;
    ThresholdTier tier = ThresholdTier::green;
    bool paused = false;
    qint64 accumulatedSeconds = 0;
    bool iconOnly = false;
    // Automatic follows the host: in the icon where it draws no label.
    TimePlacement timePlacement = TimePlacement::automatic;
    // While a timed pause runs, its time left ("14m"), shown instead of the total.
    QString pauseTimeLeft{};
};
