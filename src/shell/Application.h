#pragma once

#include "Clock.h"
#include "InProcessNotificationCenter.h"
#include "MessageBoxUpdateAlerts.h"
#include "NetworkAccess.h"
#include "Preferences.h"

#include <QDBusConnection>
#include <QObject>
#include <QPoint>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class ActivityTracker;
class BreakReminderNotifier;
class ControlService;
class DesktopServices;
class DropdownView;
class FallbackStatusItem;
class InstallerImageCleanup;
class QWidget;
class MenuBarViewModel;
class NotificationManager;
class PanelToggle;
class QDBusServiceWatcher;
class PauseTimer;
class RecordStore;
class ScreenTimeManager;
class ShortcutKeyMonitor;
class StatusItemPresenter;
class StoreLock;
class TierColors;
class TotalsSharing;
class UpdaterController;
class WindowCoordinator;

// Owns every long-lived object of the running counter and connects them in the order the
// start-up needs: the store before the managers that read it, the managers before the
// desktop events that drive them, and a first redraw before the first tick. It wires; the
// decisions live in the objects it owns.
class Application : public QObject {
    Q_OBJECT
public:
    // storeInUse: another process holds the store's lock, with or without a session bus.
    enum class StartResult { running, storeUnavailable, anotherInstanceRunning, storeInUse };

    struct Options {
        QDBusConnection sessionBus;
        // Builds the desktop's services once the store is open.
        std::function<std::unique_ptr<DesktopServices>()> makeDesktopServices;
        // Without it (headless) nothing graphical is created, so no display is needed.
        bool withStatusItem = true;
        Clock clock = [] { return QDateTime::currentDateTimeUtc(); };
        std::chrono::milliseconds onboardingDelay{500};
        // How long a status item may wait for a host before a fallback stands in.
        std::chrono::milliseconds statusItemGracePeriod{5000};
    };

    explicit Application(Options options, QObject* parent = nullptr);
    ~Application() override;

    StartResult start();
    // After storeUnavailable the alert's informative text; after storeInUse the one line that
    // says Lumatick already runs.
    QString storeError() const { return m_storeError; }

    void setPaused(bool paused);
    void togglePause();
    // A pause that resumes by itself after `seconds`, or at the next local midnight.
    void pauseFor(qint64 seconds);
    void pauseUntilTomorrow();
    void openSettings();
    void openHistory();
    void showOnboarding();
    // The onboarding's last button: remembered, closed, notifications asked for, settings shown.
    void completeOnboarding();
    // What every way out runs: today's total and the shared file saved, summaries withdrawn.
    void saveAndWithdraw();

    // For tests: the objects a user's actions end up in.
    ScreenTimeManager* screenTimeManager() const { return m_manager.get(); }
    MenuBarViewModel* menuBarModel() const { return m_model.get(); }
    InProcessNotificationCenter& inProcessNotifications() { return m_inProcessNotifications; }
    Preferences& preferences() { return m_preferences; }
    bool isPanelVisible() const;
    // Builds the panel when it was never opened; null in the headless mode.
    QWidget* panel();
    // Null in the headless mode.
    WindowCoordinator* windows() const { return m_windows.get(); }

private:
    bool claimBusName();
    StartResult lockStore();
    bool openStore();
    void setUpManagers();
    void observeSessionEvents();
    bool registerControlService();
    void setUpStatusItem();
    void followShellExtension();
    void createStatusItem();
    void handleShellExtensionChanged(bool active);
    PanelToggle& panelToggle();
    void buildPanel();
    void whenPanelBuilt(const std::function<void()>& action);
    void setUpUpdater();
    void setUpWindows();
    void cleanUpInstallerImage();
    void syncLaunchAtLogin();
    void installHotKeyHandler();
    void registerHotKey();
    void observeNotifications();
    void requestNotificationAuthorization();
    void tellNothingCanShowStatusItem();
    void tellPauseEnded();

    void handleTick();
    void handleMidnightReset();
    void handleWake();
    void handleTimeZoneChange();
    void handleStatusItemShownChanged();
    void updateStatusItem();
    void showPauseChange();
    QString pauseTimeLeft() const;
    void refreshMenuFigures();
    void showMenuFigures();
    void togglePanel();
    void togglePanelAt(QPoint position);
    void closePanel();

    Options m_options;
    QString m_storeError;
    qint64 m_ticksSinceLastNotifRefresh = 0;

    // Declared in dependency order, so each object goes before those it refers to.
    Preferences m_preferences;
    InProcessNotificationCenter m_inProcessNotifications;
    std::unique_ptr<StoreLock> m_storeLock;
    std::unique_ptr<RecordStore> m_store;
    std::unique_ptr<DesktopServices> m_desktop;
    std::unique_ptr<ActivityTracker> m_tracker;
    std::unique_ptr<ScreenTimeManager> m_manager;
    std::unique_ptr<TotalsSharing> m_sharing;
    std::unique_ptr<PauseTimer> m_pauseTimer;
    std::unique_ptr<NotificationManager> m_notifications;
    std::unique_ptr<MenuBarViewModel> m_model;
    std::unique_ptr<BreakReminderNotifier> m_breakReminders;
    std::unique_ptr<ControlService> m_control;
    std::unique_ptr<TierColors> m_tierColors;
    std::unique_ptr<FallbackStatusItem> m_statusItem;
    std::unique_ptr<StatusItemPresenter> m_presenter;
    // Our GNOME Shell extension's bus name; while it is owned there is no status item.
    std::unique_ptr<QDBusServiceWatcher> m_shellExtension;
    std::unique_ptr<DropdownView> m_panel;
    // What the panel is made as: a tool window dropping from the item, or an ordinary window.
    Qt::WindowFlags m_panelFlags;
    std::unique_ptr<PanelToggle> m_panelToggle;
    std::unique_ptr<ShortcutKeyMonitor> m_shortcutLocalMonitor;
    // Made at the first update check; a build without a feed never makes one.
    NetworkAccess m_network;
    MessageBoxUpdateAlerts m_updateAlerts;
    std::unique_ptr<UpdaterController> m_updaterController;
    std::unique_ptr<WindowCoordinator> m_windows;
    std::unique_ptr<InstallerImageCleanup> m_installerImageCleanup;
};
