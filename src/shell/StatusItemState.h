#pragma once

#include "ThresholdTier.h"

#include <QString>

// The figures one redraw of the status item needs, read from the menu bar view model and the
// preferences by the caller, so the presenter depends on neither.
struct StatusItemState {
    QString formattedTime;
    ThresholdTier tier = ThresholdTier::green;
    bool paused = false;
    qint64 accumulatedSeconds = 0;
    bool iconOnly = false;
};
