#include "IdleTimeout.h"

#include "Preferences.h"

#include <limits>

double idleThresholdSeconds(const Preferences& preferences)
{
    if (preferences.value(PreferenceKeys::idleTimeoutDisabled))
        return std::numeric_limits<double>::max();
    const qint64 minutes = preferences.value(PreferenceKeys::idleTimeoutMinutes);
    const qint64 effective = minutes > 0 ? minutes : PreferenceKeys::idleTimeoutMinutes.defaultValue;
    return static_cast<double>(effective) * 60.0;
}
