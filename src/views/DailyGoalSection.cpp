#include "DailyGoalSection.h"

#include "Preferences.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using namespace PreferenceKeys;

namespace {
constexpr int fewestHours = 1;
constexpr int mostHours = 24;
} // namespace

DailyGoalSection::DailyGoalSection(Preferences& preferences, QWidget* parent)
    : SettingsSection(QStringLiteral("Daily Goal"), preferences, parent)
{
    m_enabled = addToggle(QStringLiteral("Enable daily goal"), QStringLiteral("dailyGoalToggle"));
    QVBoxLayout* group = nullptr;
    m_goalGroup = addGroup(QStringLiteral("dailyGoalGroup"), &group);
    m_goal = addStepper(addRow(group), QStringLiteral("dailyGoalStepper"), &m_goalTitle);
    m_goal->setRange(fewestHours, mostHours);
    m_goal->setSuffix(QStringLiteral(" h"));
    addCaption(QStringLiteral("Track a streak of consecutive days you stay under the goal."),
               QStringLiteral("dailyGoalCaption"), group);

    connect(m_enabled, &QCheckBox::toggled, this,
            [this](bool on) { this->preferences().setValue(dailyGoalEnabled, on); });
    connect(m_goal, &QSpinBox::valueChanged, this,
            [this](int hours) { this->preferences().setValue(dailyGoalHours, hours); });
    startFollowingPreferences();
}

void DailyGoalSection::refresh()
{
    const QSignalBlocker blockToggle(m_enabled);
    const QSignalBlocker blockStepper(m_goal);
    const bool enabled = preferences().value(dailyGoalEnabled);
    m_enabled->setChecked(enabled);
    m_goalGroup->setVisible(enabled);
    const qint64 hours = preferences().value(dailyGoalHours);
    m_goalTitle->setText(QStringLiteral("Stay under %1h").arg(hours));
    m_goal->setValue(static_cast<int>(std::clamp<qint64>(hours, fewestHours, mostHours)));
}
