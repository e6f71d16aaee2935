#include "ThresholdTier.h"

#include "Preferences.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {

qint64 hoursOrDefault(qint64 hours, const PreferenceKeys::IntegerKey& key)
{
    return hours > 0 ? hours : key.defaultValue;
}

// The thresholds are hand-editable, so an absurd hour count must not overflow the product;
// such a threshold lies beyond any representable duration.
bool isBelowHours(qint64 seconds, qint64 hours)
{
    constexpr qint64 maxHours = std::numeric_limits<qint64>::max() / 3600;
    if (hours > maxHours)
        return true;
    return seconds < hours * 3600;
}

} // namespace

ThresholdTier thresholdTierFor(qint64 seconds, const Preferences& preferences)
{
    return thresholdTierFor(seconds, preferences.value(PreferenceKeys::greenThresholdHours),
                            preferences.value(PreferenceKeys::yellowThresholdHours));
}

ThresholdTier thresholdTierFor(qint64 seconds, qint64 greenHours, qint64 yellowHours)
{
    if (isBelowHours(seconds, hoursOrDefault(greenHours, PreferenceKeys::greenThresholdHours)))
        return ThresholdTier::green;
    if (isBelowHours(seconds, hoursOrDefault(yellowHours, PreferenceKeys::yellowThresholdHours)))
        return ThresholdTier::yellow;
    return ThresholdTier::red;
}

qint64 effectiveThresholdHours(const Preferences& preferences, const PreferenceKeys::IntegerKey& key)
{
    return hoursOrDefault(preferences.value(key), key);
}

QString tierName(ThresholdTier tier)
{
    switch (tier) {
    case ThresholdTier::green:
        return u"green"_s;
    case ThresholdTier::yellow:
        return u"yellow"_s;
    case ThresholdTier::red:
        return u"red"_s;
    }
    return {};
}
