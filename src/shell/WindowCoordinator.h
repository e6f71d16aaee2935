#pragma once

#include "Clock.h"
#include "SettingsDesktop.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class HistoryView;
class HistoryViewModel;
class InProcessNotificationCenter;
class LoginItem;
class NotificationCenter;
class OnboardingView;
class Preferences;
class QWidget;
class RecordStore;
class SettingsView;
class SharedTotalsFolder;
class UpdateControls;

// Creates, reuses and raises the application's windows: settings shown again on the page and at
// the place it was left, history in one window whose content starts afresh at every opening,
// and the floating onboarding. Each is released when closed (the onboarding when completed)
// and built again at the next opening, so a counter whose windows are closed keeps none of
// their widgets and buffers; window code is built on first use only.
class WindowCoordinator : public QObject {
    Q_OBJECT
public:
    struct Services {
        Preferences& preferences;
        InProcessNotificationCenter& inProcessNotifications;
        NotificationCenter& notificationCenter;
        LoginItem& loginItem;
        UpdateControls& updates;
        RecordStore* store;
        Clock clock;
        QString version;
        // Asked at every opening of the settings, since the desktop's answers can change.
        std::function<SettingsDesktop()> desktop = [] { return SettingsDesktop{}; };
        // Where other computers' totals are read, for the history's choice of computers.
        const SharedTotalsFolder* sharedTotals = nullptr;
        // Called once a closed window was released.
        std::function<void()> returnFreedMemory = [] {};
    };

    static constexpr const char* settingsTitle = "Lumatick Settings";
    static constexpr const char* historyTitle = "Screen Time History";

    explicit WindowCoordinator(Services services, QObject* parent = nullptr);
    ~WindowCoordinator() override;

    void openSettings();
    void openHistory();
    void showOnboarding(std::function<void()> onComplete);
    void closeOnboarding();
    // Asks the desktop again for the open settings, whose sharing fault may have changed.
    void refreshSettingsDesktop();

    QWidget* settingsWindow() const;
    QWidget* historyWindow() const;
    QWidget* onboardingWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSettings();
    void buildHistoryContent();
    void releaseClosedWindows();

    Services m_services;
    std::unique_ptr<SettingsView> m_settingsWindow;
    // Where the settings were left, for the next opening after their release.
    QRect m_settingsGeometry;
    int m_settingsTab = 0;
    // Released once closed, with its chart and its buffers; the next opening builds it again
    // where it was left.
    std::unique_ptr<QWidget> m_historyWindow;
    QRect m_historyGeometry;
    // The content of the current history opening; replaced by the next one.
    std::unique_ptr<HistoryViewModel> m_historyModel;
    QPointer<HistoryView> m_historyView;
    std::unique_ptr<OnboardingView> m_onboardingWindow;
};
