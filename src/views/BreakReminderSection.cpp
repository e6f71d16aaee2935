#include "BreakReminderSection.h"

#include "Preferences.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using namespace PreferenceKeys;

namespace {
constexpr int shortestInterval = 5;
constexpr int longestInterval = 240;
constexpr int intervalStep = 5;
} // namespace

BreakReminderSection::BreakReminderSection(Preferences& preferences, QWidget* parent)
    : SettingsSection(QStringLiteral("Break Reminders"), preferences, parent)
{
    m_enabled = addToggle(QStringLiteral("Remind me to take breaks"), QStringLiteral("breakReminderToggle"));
    QVBoxLayout* group = nullptr;
    m_intervalGroup = addGroup(QStringLiteral("breakIntervalGroup"), &group);
    m_interval = addStepper(addRow(group), QStringLiteral("breakIntervalStepper"), &m_intervalTitle);
    m_interval->setRange(shortestInterval, longestInterval);
    m_interval->setSingleStep(intervalStep);
    m_interval->setSuffix(QStringLiteral(" min"));
    addCaption(QStringLiteral("A notification fires after this many continuous active minutes."),
               QStringLiteral("breakIntervalCaption"), group);

    connect(m_enabled, &QCheckBox::toggled, this,
            [this](bool on) { this->preferences().setValue(breakReminderEnabled, on); });
    connect(m_interval, &QSpinBox::valueChanged, this,
            [this](int minutes) { this->preferences().setValue(breakReminderMinutes, minutes); });
    startFollowingPreferences();
}

QString BreakReminderSection::intervalText(qint64 minutes)
{
    return QStringLiteral("Every %1 minute%2")
        .arg(minutes)
        .arg(minutes == 1 ? QString() : QStringLiteral("s"));
}

void BreakReminderSection::refresh()
{
    const QSignalBlocker blockToggle(m_enabled);
    const QSignalBlocker blockStepper(m_interval);
    const bool enabled = preferences().value(breakReminderEnabled);
    m_enabled->setChecked(enabled);
    m_intervalGroup->setVisible(enabled);
    const qint64 minutes = preferences().value(breakReminderMinutes);
    m_intervalTitle->setText(intervalText(minutes));
    m_interval->setValue(static_cast<int>(std::clamp<qint64>(minutes, shortestInterval, longestInterval)));
}
