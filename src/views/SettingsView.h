#pragma once

#include "SettingsDesktop.h"

#include <QSize>
#include <QWidget>

#include <array>

class InProcessNotificationCenter;
class LoginItem;
class NotificationCenter;
class Preferences;
class QButtonGroup;
class QStackedWidget;
class SettingsForm;
class UpdateControls;

// The content of the settings window: a tab bar over the settings form, the About page and
// the page of the maker's other utilities. Controls write the preferences directly; the
// summary schedule and the shortcut are also announced in-process, since their listeners must
// react at once. Each time the content appears it asks whether notifications are allowed and
// takes the login service's word on launching at login; when it disappears any shortcut
// recording stops.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize contentSize{420, 520};

    enum Tab { settingsTab = 0, aboutTab = 1, moreAppsTab = 2 };

    // Keeps references; every service must outlive the view. An empty version reads as "1.0".
    SettingsView(Preferences& preferences, InProcessNotificationCenter& inProcessNotifications,
                 NotificationCenter& notificationCenter, LoginItem& loginItem, UpdateControls& updates,
                 const QString& version, QWidget* parent = nullptr);

    // Refreshes what the settings say of the desktop; the shell calls it at every opening.
    void setDesktop(const SettingsDesktop& desktop);

    int selectedTab() const;
    void selectTab(int tab);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildTabBar();
    void askWhetherNotificationsAllowed();

    NotificationCenter& m_notificationCenter;
    QButtonGroup* m_tabs = nullptr;
    QStackedWidget* m_pages = nullptr;
    SettingsForm* m_form = nullptr;
};
