#pragma once

#include "PreferenceKeys.h"
#include "SettingsSection.h"

class InProcessNotificationCenter;
class QComboBox;

// "Notifications": the daily and weekly summary schedule while the desktop allows
// notifications, otherwise only a hint and the way to the desktop's notification settings.
// Every change of the schedule made here is announced, so the summaries are rescheduled.
class NotificationSection : public SettingsSection {
    Q_OBJECT
public:
    NotificationSection(Preferences& preferences, InProcessNotificationCenter& notifications,
                        QWidget* parent = nullptr);

    // False until the desktop's answer arrives.
    void setNotificationsAllowed(bool allowed);
    // Names the desktop whose notification settings the button opens.
    void setDesktopNames(const QString& desktops) { m_desktops = desktops; }

protected:
    void refresh() override;

private:
    void buildDeniedGroup();
    void buildAllowedGroup();
    QCheckBox* addScheduleToggle(const QString& text, const QString& objectName,
                                 const PreferenceKeys::BooleanKey& key, QVBoxLayout* rows);
    QComboBox* addPicker(const QString& title, const QString& objectName,
                         const PreferenceKeys::IntegerKey& key, void (*fill)(QComboBox*), QVBoxLayout* rows);
    void store(const PreferenceKeys::IntegerKey& key, const QVariant& value);
    void store(const PreferenceKeys::BooleanKey& key, bool value);

    InProcessNotificationCenter& m_notifications;
    bool m_allowed = false;
    QString m_desktops;
    QWidget* m_deniedGroup = nullptr;
    QWidget* m_allowedGroup = nullptr;
    QCheckBox* m_daily = nullptr;
    QComboBox* m_dailyHour = nullptr;
    QCheckBox* m_weekly = nullptr;
    QComboBox* m_weeklyDay = nullptr;
    QComboBox* m_weeklyHour = nullptr;
};
