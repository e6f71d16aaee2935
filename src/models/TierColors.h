#pragma once

#include "ThresholdTier.h"

#include <QByteArray>
#include <QColor>

#include <optional>

class Preferences;

// The colour of each tier: the user's choice when one is stored and readable, otherwise the
// built-in green, yellow and red. Colours are stored as a JSON array [red, green, blue, alpha]
// of sRGB components, which may lie outside 0...1 for wide-gamut choices.
class TierColors {
public:
    // Keeps a reference; the preferences must outlive this object.
    explicit TierColors(Preferences& preferences);

    static QColor defaultColor(ThresholdTier tier);

    // Reads the preference on every call, so a change made elsewhere shows up at once.
    QColor tierColor(ThresholdTier tier) const;
    void setTierColor(ThresholdTier tier, const QColor& color);
    // Writes empty data for green, yellow and red, in that order.
    void resetTierColors();

    static std::optional<QColor> decodeTierColor(const QByteArray& data);
    // Empty for a colour that has no sRGB form (an invalid QColor).
    static QByteArray encodeTierColor(const QColor& color);

    // Linear blend of the sRGB components, fraction clamped to 0...1 (NaN counts as 1). With an
    // invalid end the result is simply `to`.
    static QColor interpolateColor(const QColor& from, const QColor& to, double fraction);

private:
    Preferences& m_preferences;
};
