#include "SettingsSection.h"

#include "PanelStyle.h"
#include "Preferences.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

SettingsSection::SettingsSection(const QString& title, Preferences& preferences, QWidget* parent)
    : QGroupBox(title, parent)
    , m_preferences(preferences)
{
    m_rows = new QVBoxLayout(this);
    m_rows->setSpacing(6);
    m_rows->setContentsMargins(10, 8, 10, 10);
}

void SettingsSection::startFollowingPreferences()
{
    connect(&m_preferences, &Preferences::changed, this, &SettingsSection::refresh);
    refresh();
}

QCheckBox* SettingsSection::addToggle(const QString& text, const QString& objectName)
{
    auto* toggle = new QCheckBox(text, this);
    toggle->setObjectName(objectName);
    m_rows->addWidget(toggle);
    return toggle;
}

QLabel* SettingsSection::addCaption(const QString& text, const QString& objectName, QVBoxLayout* into)
{
    auto* caption = new QLabel(text, this);
    caption->setObjectName(objectName);
    caption->setWordWrap(true);
    caption->setFont(PanelStyle::captionFont());
    PanelStyle::setTextColor(caption, PanelStyle::secondary(palette()));
    (into ? into : m_rows)->addWidget(caption);
    return caption;
}

QSpinBox* SettingsSection::addStepper(QHBoxLayout* row, const QString& objectName, QLabel** title)
{
    *title = new QLabel(this);
    (*title)->setObjectName(objectName + QStringLiteral("Title"));
    auto* stepper = new QSpinBox(this);
    stepper->setObjectName(objectName);
    // Typing a number writes once, on Return or when the field loses focus, not per digit.
    stepper->setKeyboardTracking(false);
    // Screen readers name the stepper by its title, which carries the value and its unit.
    (*title)->setBuddy(stepper);
    row->addWidget(*title, 1);
    row->addWidget(stepper);
    return stepper;
}

QHBoxLayout* SettingsSection::addRow(QVBoxLayout* into)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    (into ? into : m_rows)->addLayout(row);
    return row;
}

QWidget* SettingsSection::addGroup(const QString& objectName, QVBoxLayout** rows)
{
    auto* group = new QWidget(this);
    group->setObjectName(objectName);
    *rows = new QVBoxLayout(group);
    (*rows)->setContentsMargins(0, 0, 0, 0);
    (*rows)->setSpacing(6);
    m_rows->addWidget(group);
    return group;
}
