#pragma once

#include "PreferenceKeys.h"

#include <QString>

class Preferences;

// How a day's screen time rates against the user's two thresholds.
enum class ThresholdTier { green, yellow, red };

// Below the green threshold is green, below the yellow one yellow, anything else red. A
// threshold that is zero or negative falls back to its default (3 and 5 hours). The two are not
// required to be ordered: with yellow at or below green, days go straight from green to red.
ThresholdTier thresholdTierFor(qint64 seconds, const Preferences& preferences);

// The same rule on raw hour values, for callers that already hold them (charts rating many days).
ThresholdTier thresholdTierFor(qint64 seconds, qint64 greenHours, qint64 yellowHours);

// The threshold in force for a threshold key: the stored hours, or the default when the stored
// value is zero or negative.
qint64 effectiveThresholdHours(const Preferences& preferences, const PreferenceKeys::IntegerKey& key);

// "green", "yellow" or "red": stable names for the command line and JSON output.
QString tierName(ThresholdTier tier);
