#include "ThresholdSection.h"

#include "ColorWell.h"
#include "PanelStyle.h"
#include "Preferences.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

using namespace PreferenceKeys;

namespace {
constexpr qint64 lowestHour = 1;
constexpr qint64 highestHour = 24;

int toInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, -1000, 1000));
}

// Thresholds edited outside this window may break the order and leave a range empty; the
// stepper then holds its lower bound only, and moves again once the other threshold makes room.
void setOrderedRange(QSpinBox* stepper, qint64 lowest, qint64 highest, qint64 value)
{
    stepper->setRange(toInt(lowest), toInt(std::max(lowest, highest)));
    stepper->setValue(toInt(value));
}

std::size_t indexOf(ThresholdTier tier)
{
    return static_cast<std::size_t>(tier);
}
} // namespace

ThresholdSection::ThresholdSection(Preferences& preferences, QWidget* parent)
    : SettingsSection(QStringLiteral("Color Thresholds"), preferences, parent)
    , m_tierColors(preferences)
{
    QHBoxLayout* greenRow = addRow();
    addWell(greenRow, ThresholdTier::green, QStringLiteral("greenColorWell"), QStringLiteral("Green"));
    m_green = addStepper(greenRow, QStringLiteral("greenThresholdStepper"), &m_greenTitle);

    QHBoxLayout* yellowRow = addRow();
    addWell(yellowRow, ThresholdTier::yellow, QStringLiteral("yellowColorWell"), QStringLiteral("Yellow"));
    m_yellow = addStepper(yellowRow, QStringLiteral("yellowThresholdStepper"), &m_yellowTitle);

    QHBoxLayout* redRow = addRow();
    addWell(redRow, ThresholdTier::red, QStringLiteral("redColorWell"), QStringLiteral("Red"));
    m_redTitle = new QLabel(this);
    m_redTitle->setObjectName(QStringLiteral("redThresholdTitle"));
    redRow->addWidget(m_redTitle, 1);

    m_green->setSuffix(QStringLiteral(" h"));
    m_yellow->setSuffix(QStringLiteral(" h"));
    connect(m_green, &QSpinBox::valueChanged, this,
            [this](int hours) { this->preferences().setValue(greenThresholdHours, hours); });
    connect(m_yellow, &QSpinBox::valueChanged, this,
            [this](int hours) { this->preferences().setValue(yellowThresholdHours, hours); });
    buildResetButton();
    startFollowingPreferences();
}

ColorWell* ThresholdSection::addWell(QHBoxLayout* row, ThresholdTier tier, const QString& objectName,
                                     const QString& name)
{
    auto* well = new ColorWell(this);
    well->setObjectName(objectName);
    well->setAccessibleName(name + QStringLiteral(" tier colour"));
    connect(well, &ColorWell::colorChosen, this,
            [this, tier](const QColor& color) { m_tierColors.setTierColor(tier, color); });
    row->addWidget(well);
    m_wells[indexOf(tier)] = well;
    return well;
}

void ThresholdSection::buildResetButton()
{
    auto* reset = new QToolButton(this);
    reset->setObjectName(QStringLiteral("resetColorsButton"));
    reset->setText(QStringLiteral("Reset Colors to Default"));
    reset->setAutoRaise(true);
    reset->setCursor(Qt::PointingHandCursor);
    reset->setFont(PanelStyle::captionFont());
    PanelStyle::setTextColor(reset, PanelStyle::secondary(palette()));
    connect(reset, &QToolButton::clicked, this, [this] { m_tierColors.resetTierColors(); });
    rows()->addWidget(reset, 0, Qt::AlignLeft);
}

void ThresholdSection::refresh()
{
    for (ThresholdTier tier : {ThresholdTier::green, ThresholdTier::yellow, ThresholdTier::red})
        m_wells[indexOf(tier)]->setColor(m_tierColors.tierColor(tier));
    const qint64 green = preferences().value(greenThresholdHours);
    const qint64 yellow = preferences().value(yellowThresholdHours);
    m_greenTitle->setText(QStringLiteral("Under %1h").arg(green));
    m_yellowTitle->setText(QStringLiteral("%1h \u2013 %2h").arg(green).arg(yellow));
    m_redTitle->setText(QStringLiteral("Over %1h").arg(yellow));
    refreshSteppers(green, yellow);
}

void ThresholdSection::refreshSteppers(qint64 green, qint64 yellow)
{
    const QSignalBlocker blockGreen(m_green);
    const QSignalBlocker blockYellow(m_yellow);
    setOrderedRange(m_green, lowestHour, yellow - 1, green);
    setOrderedRange(m_yellow, green + 1, highestHour, yellow);
}
