#include "NotificationSection.h"

#include "InProcessNotificationCenter.h"
#include "NotificationSettingsLauncher.h"
#include "Preferences.h"
#include "ScheduleLabels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace PreferenceKeys;

namespace {

void fillHours(QComboBox* picker)
{
    for (int hour = 0; hour < 24; ++hour)
        picker->addItem(ScheduleLabels::hourLabel(hour), hour);
}

void fillWeekdays(QComboBox* picker)
{
    for (int weekday = 1; weekday <= 7; ++weekday)
        picker->addItem(ScheduleLabels::weekdayName(weekday), weekday);
}

// A stored value the picker does not offer (edited by hand) shows as no selection.
void select(QComboBox* picker, qint64 value)
{
    picker->setCurrentIndex(picker->findData(QVariant::fromValue(static_cast<int>(value))));
}

} // namespace

NotificationSection::NotificationSection(Preferences& preferences, InProcessNotificationCenter& notifications,
                                         QWidget* parent)
    : SettingsSection(QStringLiteral("Notifications"), preferences, parent)
    , m_notifications(notifications)
{
    buildDeniedGroup();
    buildAllowedGroup();
    startFollowingPreferences();
}

void NotificationSection::buildDeniedGroup()
{
    QVBoxLayout* rows = nullptr;
    m_deniedGroup = addGroup(QStringLiteral("notificationsDeniedGroup"), &rows);
    addCaption(
        QStringLiteral("Notifications are disabled. Enable them in System Settings \u2192 Notifications "
                       "\u2192 Lumatick."),
        QStringLiteral("notificationsDeniedCaption"), rows);
    auto* open = new QPushButton(QStringLiteral("Open Notification Settings\u2026"), m_deniedGroup);
    open->setObjectName(QStringLiteral("openNotificationSettingsButton"));
    connect(open, &QPushButton::clicked, this, [this] { NotificationSettingsLauncher::open(m_desktops); });
    rows->addWidget(open, 0, Qt::AlignLeft);
}

void NotificationSection::buildAllowedGroup()
{
    QVBoxLayout* rows = nullptr;
    m_allowedGroup = addGroup(QStringLiteral("notificationsAllowedGroup"), &rows);
    m_daily = addScheduleToggle(QStringLiteral("Daily summary"), QStringLiteral("dailySummaryToggle"),
                                dailyNotifEnabled, rows);
    m_dailyHour =
        addPicker(QStringLiteral("Time"), QStringLiteral("dailyHourPicker"), dailyNotifHour, fillHours, rows);
    m_weekly = addScheduleToggle(QStringLiteral("Weekly summary"), QStringLiteral("weeklySummaryToggle"),
                                 weeklyNotifEnabled, rows);
    m_weeklyDay = addPicker(QStringLiteral("Day"), QStringLiteral("weeklyDayPicker"), weeklyNotifDay,
                            fillWeekdays, rows);
    m_weeklyHour = addPicker(QStringLiteral("Time"), QStringLiteral("weeklyHourPicker"), weeklyNotifHour,
                             fillHours, rows);
}

QCheckBox* NotificationSection::addScheduleToggle(const QString& text, const QString& objectName,
                                                  const BooleanKey& key, QVBoxLayout* rows)
{
    auto* toggle = new QCheckBox(text, m_allowedGroup);
    toggle->setObjectName(objectName);
    connect(toggle, &QCheckBox::toggled, this, [this, &key](bool on) { store(key, on); });
    rows->addWidget(toggle);
    return toggle;
}

// The picker's row is its parent widget, so hiding the picker's parent hides its title too.
QComboBox* NotificationSection::addPicker(const QString& title, const QString& objectName,
                                          const IntegerKey& key, void (*fill)(QComboBox*), QVBoxLayout* rows)
{
    auto* row = new QWidget(m_allowedGroup);
    row->setObjectName(objectName + QStringLiteral("Row"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(title, row);
    layout->addWidget(caption, 1);
    auto* picker = new QComboBox(row);
    picker->setObjectName(objectName);
    picker->setAccessibleName(title);
    // On Linux Qt names a combo box after its current item; the caption reaches screen readers
    // as the box's label instead.
    caption->setBuddy(picker);
    layout->addWidget(picker);
    // Filled before it is connected: the first item becoming current is not a user's choice.
    fill(picker);
    connect(picker, &QComboBox::currentIndexChanged, this,
            [this, picker, &key](int index) { store(key, picker->itemData(index)); });
    rows->addWidget(row);
    return picker;
}

void NotificationSection::store(const IntegerKey& key, const QVariant& value)
{
    preferences().setValue(key, value.toLongLong());
    m_notifications.post(InProcessNotificationCenter::notifPrefsChanged);
}

void NotificationSection::store(const BooleanKey& key, bool value)
{
    preferences().setValue(key, value);
    m_notifications.post(InProcessNotificationCenter::notifPrefsChanged);
}

void NotificationSection::setNotificationsAllowed(bool allowed)
{
    m_allowed = allowed;
    refresh();
}

void NotificationSection::refresh()
{
    m_deniedGroup->setVisible(!m_allowed);
    m_allowedGroup->setVisible(m_allowed);
    const QSignalBlocker blocks[] = {QSignalBlocker(m_daily), QSignalBlocker(m_dailyHour),
                                     QSignalBlocker(m_weekly), QSignalBlocker(m_weeklyDay),
                                     QSignalBlocker(m_weeklyHour)};
    const bool daily = preferences().value(dailyNotifEnabled);
    const bool weekly = preferences().value(weeklyNotifEnabled);
    m_daily->setChecked(daily);
    m_dailyHour->parentWidget()->setVisible(daily);
    select(m_dailyHour, preferences().value(dailyNotifHour));
    m_weekly->setChecked(weekly);
    m_weeklyDay->parentWidget()->setVisible(weekly);
    m_weeklyHour->parentWidget()->setVisible(weekly);
    select(m_weeklyDay, preferences().value(weeklyNotifDay));
    select(m_weeklyHour, preferences().value(weeklyNotifHour));
}
