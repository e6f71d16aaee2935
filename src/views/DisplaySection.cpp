#include "DisplaySection.h"

#include "Preferences.h"
#include "RoleAccessible.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace PreferenceKeys;

namespace {
// The picker's button ids are the values of "menuBarIconOnly".
constexpr int counterId = 0;
constexpr int iconOnlyId = 1;
} // namespace

DisplaySection::DisplaySection(Preferences& preferences, QWidget* parent)
    : SettingsSection(QStringLiteral("Display"), preferences, parent)
{
    buildPicker();
    QVBoxLayout* group = nullptr;
    m_secondsGroup = addGroup(QStringLiteral("showSecondsGroup"), &group);
    m_showSeconds = new QCheckBox(QStringLiteral("Show seconds in counter"), m_secondsGroup);
    m_showSeconds->setObjectName(QStringLiteral("showSecondsToggle"));
    group->addWidget(m_showSeconds);
    addCaption(
        QStringLiteral("When off, the counter shows \u201C4h 37m\u201D instead of \u201C4h 37m 12s\u201D."),
        QStringLiteral("showSecondsCaption"), group);
    connect(m_showSeconds, &QCheckBox::toggled, this,
            [this](bool on) { this->preferences().setValue(showSeconds, on); });
    startFollowingPreferences();
}

// Two exclusive buttons side by side stand in for a segmented control.
void DisplaySection::buildPicker()
{
    QHBoxLayout* row = addRow();
    row->addWidget(new QLabel(QStringLiteral("Menu bar display"), this), 1);
    m_display = new QButtonGroup(this);
    m_display->setExclusive(true);
    const std::pair<int, QString> segments[] = {{counterId, QStringLiteral("Counter")},
                                                {iconOnlyId, QStringLiteral("Icon only")}};
    for (const auto& [id, title] : segments) {
        auto* segment = new QPushButton(title, this);
        segment->setObjectName(id == iconOnlyId ? QStringLiteral("iconOnlySegment")
                                                : QStringLiteral("counterSegment"));
        segment->setCheckable(true);
        RoleAccessible::setRole(segment, QAccessible::RadioButton);
        m_display->addButton(segment, id);
        row->addWidget(segment);
    }
    row->setSpacing(0);
    connect(m_display, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            preferences().setValue(menuBarIconOnly, id == iconOnlyId);
    });
}

void DisplaySection::refresh()
{
    const QSignalBlocker blockPicker(m_display);
    const QSignalBlocker blockSeconds(m_showSeconds);
    const bool iconOnly = preferences().value(menuBarIconOnly);
    m_display->button(iconOnly ? iconOnlyId : counterId)->setChecked(true);
    m_secondsGroup->setVisible(!iconOnly);
    m_showSeconds->setChecked(preferences().value(showSeconds));
}
