#pragma once

#include "Preferences.h"

#include <QDBusConnection>
#include <QObject>
#include <QPoint>
#include <QString>

#include <memory>

class ActivityTracker;
class BreakReminderNotifier;
class ControlService;
class DropdownView;
class LinuxDesktopServices;
class MenuBarViewModel;
class NotificationManager;
class RecordStore;
class ScreenTimeManager;
class StatusItemPresenter;
class StatusNotifierItem;
class TierColors;

// Owns every long-lived object of the running counter and connects them in the order the
// start-up needs: the store before the managers that read it, the managers before the
// desktop events that drive them, and a first redraw before the first tick. It wires; the
// decisions live in the objects it owns.
class Application : public QObject {
    Q_OBJECT
public:
    enum class StartResult { running, storeUnavailable, anotherInstanceRunning };

    struct Options {
        QDBusConnection sessionBus;
        QDBusConnection systemBus;
        // Written into the autostart entry.
        QString executablePath;
        // Without it (headless) nothing graphical is created, so no display is needed.
        bool withStatusItem = true;
    };

    explicit Application(Options options, QObject* parent = nullptr);
    ~Application() override;

    StartResult start();
    // Why not even a fresh store could be created, for the alert.
    QString storeError() const { return m_storeError; }

private:
    bool openStore();
    void setUpManagers();
    void startDesktopServices();
    void observeSessionEvents();
    bool registerControlService();
    void setUpStatusItem();
    void setUpPanel();
    void requestNotificationAuthorization();

    void handleTick();
    void handleMidnightReset();
    void handleWake();
    void updateStatusItem();
    void togglePause();
    void togglePanel();
    void showPanelAt(QPoint position);
    void saveAndWithdraw();

    Options m_options;
    QString m_storeError;
    qint64 m_ticksSinceLastNotifRefresh = 0;
    QPoint m_lastActivationPoint;

    // Declared in dependency order, so each object goes before those it refers to.
    Preferences m_preferences;
    std::unique_ptr<RecordStore> m_store;
    std::unique_ptr<LinuxDesktopServices> m_desktop;
    std::unique_ptr<ActivityTracker> m_tracker;
    std::unique_ptr<ScreenTimeManager> m_manager;
    std::unique_ptr<NotificationManager> m_notifications;
    std::unique_ptr<MenuBarViewModel> m_model;
    std::unique_ptr<BreakReminderNotifier> m_breakReminders;
    std::unique_ptr<ControlService> m_control;
    std::unique_ptr<TierColors> m_tierColors;
    std::unique_ptr<StatusNotifierItem> m_statusItem;
    std::unique_ptr<StatusItemPresenter> m_presenter;
    std::unique_ptr<DropdownView> m_panel;
};
