#pragma once

#include <QScrollArea>

class GeneralSection;
class InProcessNotificationCenter;
class LoginItem;
class NotificationSection;
class Preferences;
class ShortcutSection;

// The settings tab: every section of preferences, top to bottom, in a scrolling column.
class SettingsForm : public QScrollArea {
    Q_OBJECT
public:
    SettingsForm(Preferences& preferences, InProcessNotificationCenter& notifications, LoginItem& loginItem,
                 QWidget* parent = nullptr);

    ShortcutSection& shortcutSection() const { return *m_shortcut; }
    NotificationSection& notificationSection() const { return *m_notifications; }
    GeneralSection& generalSection() const { return *m_general; }

private:
    ShortcutSection* m_shortcut = nullptr;
    NotificationSection* m_notifications = nullptr;
    GeneralSection* m_general = nullptr;
};
