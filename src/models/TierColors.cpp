#include "TierColors.h"

#include "Preferences.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Components = std::array<double, 4>;

const PreferenceKeys::DataKey& keyFor(ThresholdTier tier)
{
    switch (tier) {
    case ThresholdTier::yellow:
        return PreferenceKeys::tierYellowColor;
    case ThresholdTier::red:
        return PreferenceKeys::tierRedColor;
    case ThresholdTier::green:
        break;
    }
    return PreferenceKeys::tierGreenColor;
}

// toRgb() would clamp a wide-gamut colour into 0...1 and toExtendedRgb() would round an
// ordinary one to half precision, so each is read in the form that keeps it exact.
Components srgbComponents(const QColor& color)
{
    const QColor srgb = color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
    return {srgb.redF(), srgb.greenF(), srgb.blueF(), srgb.alphaF()};
}

// Wide-gamut components are held as half floats; anything beyond their range would turn into
// infinity, which no colour can use.
bool isRepresentable(double component)
{
    constexpr double halfFloatMax = 65504.0;
    return std::isfinite(component) && std::abs(component) <= halfFloatMax;
}

QColor fromComponents(const Components& c)
{
    // QColor refuses an alpha outside 0...1 altogether; opacity past either end means fully
    // opaque or fully transparent, so only alpha is clamped.
    const double alpha = std::clamp(c[3], 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]),
                            static_cast<float>(alpha));
}

std::optional<Components> componentsFromJson(const QByteArray& data)
{
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!document.isArray())
        return std::nullopt;
    const QJsonArray array = document.array();
    Components components{0.0, 0.0, 0.0, 1.0};
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (!array.at(i).isDouble())
            return std::nullopt;
        if (i < 4)
            components[static_cast<std::size_t>(i)] = array.at(i).toDouble();
    }
    if (array.size() < 3)
        return std::nullopt;
    return components;
}

} // namespace

TierColors::TierColors(Preferences& preferences)
    : m_preferences(preferences)
{}

QColor TierColors::defaultColor(ThresholdTier tier)
{
    switch (tier) {
    case ThresholdTier::yellow:
        return QColor(255, 204, 0);
    case ThresholdTier::red:
        return QColor(255, 59, 48);
    case ThresholdTier::green:
        break;
    }
    return QColor(52, 199, 89);
}

QColor TierColors::tierColor(ThresholdTier tier) const
{
    return decodeTierColor(m_preferences.value(keyFor(tier))).value_or(defaultColor(tier));
}

void TierColors::setTierColor(ThresholdTier tier, const QColor& color)
{
    m_preferences.setValue(keyFor(tier), encodeTierColor(color));
}

void TierColors::resetTierColors()
{
    for (const ThresholdTier tier : {ThresholdTier::green, ThresholdTier::yellow, ThresholdTier::red})
        m_preferences.setValue(keyFor(tier), QByteArray());
}

std::optional<QColor> TierColors::decodeTierColor(const QByteArray& data)
{
    if (data.isEmpty())
        return std::nullopt;
    const std::optional<Components> components = componentsFromJson(data);
    if (!components)
        return std::nullopt;
    if (!std::all_of(components->begin(), components->end(), isRepresentable))
        return std::nullopt;
    return fromComponents(*components);
}

QByteArray TierColors::encodeTierColor(const QColor& color)
{
    if (!color.isValid())
        return {};
    const Components components = srgbComponents(color);
    if (!std::all_of(components.begin(), components.end(), isRepresentable))
        return {};
    QJsonArray array;
    for (const double component : components)
        array.append(component);
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QColor TierColors::interpolateColor(const QColor& from, const QColor& to, double fraction)
{
    if (!from.isValid() || !to.isValid())
        return to;
    const double t = std::isnan(fraction) ? 1.0 : std::clamp(fraction, 0.0, 1.0);
    const Components a = srgbComponents(from);
    const Components b = srgbComponents(to);
    Components blended{};
    for (std::size_t i = 0; i < blended.size(); ++i)
        blended[i] = a[i] + t * (b[i] - a[i]);
    return fromComponents(blended);
}
