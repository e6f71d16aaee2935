#pragma once

#include "SettingsSection.h"
#include "TierColors.h"

#include <array>

class ColorWell;

// "Color Thresholds": a colour well per tier and the two hour thresholds between them. The
// steppers keep the thresholds ordered, 1 <= green < yellow <= 24, by bounding each with the
// other; colours and thresholds are picked up by their readers without any announcement.
class ThresholdSection : public SettingsSection {
    Q_OBJECT
public:
    explicit ThresholdSection(Preferences& preferences, QWidget* parent = nullptr);

protected:
    void refresh() override;

private:
    ColorWell* addWell(QHBoxLayout* row, ThresholdTier tier, const QString& objectName, const QString& name);
    void buildResetButton();
    void refreshSteppers(qint64 green, qint64 yellow);

    TierColors m_tierColors;
    std::array<ColorWell*, 3> m_wells{};
    QSpinBox* m_green = nullptr;
    QSpinBox* m_yellow = nullptr;
    QLabel* m_greenTitle = nullptr;
    QLabel* m_yellowTitle = nullptr;
    QLabel* m_redTitle = nullptr;
};
