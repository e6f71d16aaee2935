#include "Application.h"

#include "ActivityTracker.h"
#include "AppcastUpdater.h"
#include "ApplicationIdentity.h"
#include "BreakReminderNotifier.h"
#include "BundleInformation.h"
#include "ControlService.h"
#include "DesktopServices.h"
#include "DropdownView.h"
#include "FallbackStatusItem.h"
#include "FormatDuration.h"
#include "GlobalHotKey.h"
#include "InstallerImageCleanup.h"
#include "Logging.h"
#include "LoginItem.h"
#include "MenuBarViewModel.h"
#include "NotificationCenter.h"
#include "NotificationManager.h"
#include "NotificationRequest.h"
#include "PanelToggle.h"
#include "PauseTimer.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "SessionEvents.h"
#include "ShortcutKeyMonitor.h"
#include "ShortcutModifiers.h"
#include "StatusItemPresenter.h"
#include "StatusItemState.h"
#include "StoreLock.h"
#include "StoreOpener.h"
#include "TierColors.h"
#include "TotalsSharing.h"
#include "TrayIconStatusItem.h"
#include "UpdaterController.h"
#include "WindowCoordinator.h"
#include "WindowIcon.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace {
// Summaries carry the figures they were scheduled with, so they are rebuilt about every
// ten minutes besides the day change and wake.
constexpr qint64 ticksBetweenSummaryRefreshes = 600;

// A key code outside 16 bits or negative modifiers cannot come from a recorded key press.
constexpr qint64 largestKeyCode = 0xFFFF;

const QString noStatusItemNotification = QStringLiteral("com.lumatick.noStatusItem");
} // namespace

Application::Application(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_preferences(Preferences::defaultFilePath())
{}

Application::~Application() = default;

Application::StartResult Application::start()
{
    m_preferences.registerDefaults();
    if (!claimBusName())
        return StartResult::anotherInstanceRunning;
    if (const StartResult locked = lockStore(); locked != StartResult::running)
        return locked;
    if (!openStore())
        return StartResult::storeUnavailable;
    // The desktop's services come before the managers because the notification manager is
    // built on the desktop's notification centre.
    m_desktop = m_options.makeDesktopServices();
    setUpManagers();
    m_breakReminders = std::make_unique<BreakReminderNotifier>(*m_manager, m_desktop->notificationCenter());
    if (!registerControlService())
        return StartResult::anotherInstanceRunning;
    if (m_options.withStatusItem) {
        setUpUpdater();
        setUpStatusItem();
        // Until a host shows the item or turns out to be missing, the panel drops from the item.
        m_panelFlags = PanelToggle::windowFlags;
        setUpWindows();
    }
    observeSessionEvents();
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &Application::saveAndWithdraw);
    syncLaunchAtLogin();
    installHotKeyHandler();
    registerHotKey();
    m_model->refresh();
    updateStatusItem();
    showMenuFigures();
    observeNotifications();
    cleanUpInstallerImage();
    // The timer's first tick comes a second from now, after the first draw above.
    m_manager->start();
    return StartResult::running;
}

// The bus name decides which of two racing starts runs, before either opens the store, so two
// processes never write it at once. Without any session bus there is nothing to race on.
bool Application::claimBusName()
{
    QDBusConnection& bus = m_options.sessionBus;
    if (!bus.isConnected())
        return true;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        ApplicationIdentity::busName, QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

// Held until the process ends, in every session: the bus name alone leaves a start without a
// session bus free to write beside a running counter.
Application::StartResult Application::lockStore()
{
    m_storeLock = std::make_unique<StoreLock>(StoreOpener::defaultDirectory());
    switch (m_storeLock->tryLock()) {
    case StoreLock::Outcome::locked:
        return StartResult::running;
    case StoreLock::Outcome::heldElsewhere:
        m_storeError = m_storeLock->description();
        return StartResult::storeInUse;
    case StoreLock::Outcome::failed:
        break;
    }
    m_storeError = StoreOpener::failureInformativeText(m_storeLock->description(), false);
    return StartResult::storeUnavailable;
}

bool Application::openStore()
{
    StoreOpener::Result opened =
        StoreOpener(StoreOpener::defaultDirectory(), m_preferences).open(QDateTime::currentDateTime());
    for (const QString& file : opened.movedAside)
        qCWarning(lcScreenTime, "the store could not be opened and was moved aside: %s", qPrintable(file));
    m_store = std::move(opened.store);
    if (!m_store)
        m_storeError =
            StoreOpener::failureInformativeText(opened.errorDescription, !opened.movedAside.isEmpty());
    return m_store != nullptr;
}

void Application::setUpManagers()
{
    m_tracker = std::make_unique<ActivityTracker>(m_options.clock);
    m_tracker->setIdleTimeSource(m_desktop->idleTimeSource());
    m_manager = std::make_unique<ScreenTimeManager>(*m_tracker, m_preferences, m_options.clock);
    m_manager->setModelContext(m_store.get());
    m_manager->loadTodayTotal();
    m_manager->saveToday();
    m_sharing = std::make_unique<TotalsSharing>(m_preferences, m_store.get(), *m_manager, m_options.clock);
    m_sharing->applyPreferences();
    m_pauseTimer = std::make_unique<PauseTimer>(*m_manager, m_preferences, m_options.clock);
    m_pauseTimer->restore();
    connect(m_pauseTimer.get(), &PauseTimer::expired, this, &Application::tellPauseEnded);
    m_notifications = std::make_unique<NotificationManager>(m_desktop->notificationCenter(), m_preferences,
                                                            m_options.clock);
    m_notifications->setModelContext(m_store.get());
    m_notifications->setScreenTimeManager(m_manager.get());
    m_model = std::make_unique<MenuBarViewModel>(*m_manager, *m_tracker, m_preferences, m_options.clock);
    m_model->setModelContext(m_store.get());
    m_model->setAllComputersToday([sharing = QPointer<TotalsSharing>(m_sharing.get())] {
        return sharing ? sharing->allComputersToday() : std::nullopt;
    });
    m_model->refreshStatistics();
    // Both callbacks die with the manager, which this object owns, so `this` is always alive.
    m_manager->setOnTick([this] { handleTick(); });
    m_manager->setOnMidnightReset([this] { handleMidnightReset(); });
}

void Application::observeSessionEvents()
{
    SessionEvents& events = m_desktop->sessionEvents();
    ActivityTracker* tracker = m_tracker.get();
    connect(&events, &SessionEvents::machineWillSleep, tracker, &ActivityTracker::machineWillSleep);
    connect(&events, &SessionEvents::machineDidWake, tracker, &ActivityTracker::machineDidWake);
    connect(&events, &SessionEvents::screensDidSleep, tracker, &ActivityTracker::screensDidSleep);
    connect(&events, &SessionEvents::screensDidWake, tracker, &ActivityTracker::screensDidWake);
    connect(&events, &SessionEvents::screenLocked, tracker, &ActivityTracker::screenLocked);
    connect(&events, &SessionEvents::screenUnlocked, tracker, &ActivityTracker::screenUnlocked);
    // Direct, so the save finishes while the sleep inhibitor is still held.
    connect(&events, &SessionEvents::machineWillSleep, m_manager.get(), &ScreenTimeManager::saveToday,
            Qt::DirectConnection);
    connect(&events, &SessionEvents::machineWillSleep, m_sharing.get(), &TotalsSharing::saveNow,
            Qt::DirectConnection);
    connect(&events, &SessionEvents::machineDidWake, this, &Application::handleWake);
    connect(&events, &SessionEvents::timeZoneChanged, this, &Application::handleTimeZoneChange);
    // A lock or a display sleep the services found while they were being built, before the
    // tracker listened: a session started behind a locked screen does not count until unlocked.
    if (events.isScreenLocked())
        tracker->screenLocked();
    if (events.areScreensAsleep())
        tracker->screensDidSleep();
}

// Failing on a connected bus means another instance took the name since the hand-over check;
// without any session bus the counter still runs, only without its control object.
bool Application::registerControlService()
{
    m_control = std::make_unique<ControlService>(*m_model, *m_manager);
    m_control->setAllComputersToday([sharing = m_sharing.get()] { return sharing->allComputersToday(); });
    connect(m_control.get(), &ControlService::showPanelRequested, this, &Application::togglePanel);
    connect(m_control.get(), &ControlService::historyRequested, this, &Application::openHistory);
    connect(m_control.get(), &ControlService::settingsRequested, this, &Application::openSettings);
    connect(m_control.get(), &ControlService::pauseRequested, this, &Application::setPaused);
    connect(m_control.get(), &ControlService::pauseToggleRequested, this, &Application::togglePause);
    connect(m_control.get(), &ControlService::pauseForRequested, this, &Application::pauseFor);
    connect(m_control.get(), &ControlService::pauseUntilTomorrowRequested, this,
            &Application::pauseUntilTomorrow);
    // The sharing follows its preferences; a reload tells of them as changed.
    connect(m_control.get(), &ControlService::sharingReloadRequested, this, [this] {
        m_preferences.reload({QString::fromLatin1(PreferenceKeys::sharedTotalsFolder.name),
                              QString::fromLatin1(PreferenceKeys::sharedTotalsName.name)});
    });
    if (m_control->registerOn(m_options.sessionBus))
        return true;
    if (!m_options.sessionBus.isConnected()) {
        qCWarning(lcScreenTime, "no session bus: the control interface is not offered");
        return true;
    }
    return false;
}

void Application::setUpStatusItem()
{
    m_tierColors = std::make_unique<TierColors>(m_preferences);
    followShellExtension();
}

// Where our GNOME Shell extension shows the counter in the top bar, a tray item (through the
// AppIndicator extension) would show it a second time; it goes while the extension runs and
// comes back when the extension is turned off or the shell restarts without it.
void Application::followShellExtension()
{
    QDBusConnection& bus = m_options.sessionBus;
    const bool active =
        bus.isConnected() && bus.interface()->isServiceRegistered(ApplicationIdentity::shellExtensionBusName);
    m_shellExtension = std::make_unique<QDBusServiceWatcher>(ApplicationIdentity::shellExtensionBusName, bus,
                                                             QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_shellExtension.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                handleShellExtensionChanged(!newOwner.isEmpty());
            });
    handleShellExtensionChanged(active);
}

void Application::handleShellExtensionChanged(bool active)
{
    if (active) {
        m_presenter.reset();
        m_statusItem.reset();
    } else if (!m_statusItem) {
        createStatusItem();
        updateStatusItem();
        showMenuFigures();
    }
    handleStatusItemShownChanged();
}

void Application::createStatusItem()
{
    auto makeTrayIcon = []() -> std::unique_ptr<StatusItemBackend> {
        if (!TrayIconStatusItem::isAvailable())
            return nullptr;
        return std::make_unique<TrayIconStatusItem>();
    };
    m_statusItem = std::make_unique<FallbackStatusItem>(
        m_desktop->createStatusItem(QStringLiteral("lumatick"), ApplicationIdentity::applicationName),
        makeTrayIcon, m_options.statusItemGracePeriod);
    TierColors* colors = m_tierColors.get();
    m_presenter = std::make_unique<StatusItemPresenter>(
        *m_statusItem, [colors](ThresholdTier tier) { return colors->tierColor(tier); }, m_options.clock);
    FallbackStatusItem* item = m_statusItem.get();
    connect(item, &StatusItemBackend::activated, this, &Application::togglePanelAt);
    connect(item, &StatusItemBackend::panelRequested, this, &Application::togglePanel);
    connect(item, &StatusItemBackend::menuAboutToShow, this, &Application::refreshMenuFigures);
    connect(item, &StatusItemBackend::pauseToggleRequested, this, &Application::togglePause);
    connect(item, &StatusItemBackend::pauseForRequested, this, &Application::pauseFor);
    connect(item, &StatusItemBackend::pauseUntilTomorrowRequested, this, &Application::pauseUntilTomorrow);
    connect(item, &StatusItemBackend::historyRequested, this, &Application::openHistory);
    connect(item, &StatusItemBackend::settingsRequested, this, &Application::openSettings);
    connect(item, &StatusItemBackend::quitRequested, QCoreApplication::instance(), &QCoreApplication::quit,
            Qt::QueuedConnection);
    connect(item, &StatusItemBackend::shownChanged, this, &Application::handleStatusItemShownChanged);
    connect(item, &FallbackStatusItem::nothingCanShow, this, &Application::tellNothingCanShowStatusItem);
    m_statusItem->start();
}

// Built at its first opening: a counter whose panel stays closed never pays for the widgets,
// the style and the fonts it is drawn with.
PanelToggle& Application::panelToggle()
{
    if (!m_panelToggle)
        buildPanel();
    return *m_panelToggle;
}

void Application::buildPanel()
{
    WindowIcon::applyToApplication();
    m_panel = std::make_unique<DropdownView>(*m_model, m_preferences);
    m_panel->setWindowFlags(m_panelFlags);
    m_panel->setWindowTitle(ApplicationIdentity::applicationName);
    connect(m_panel.get(), &DropdownView::quitRequested, QCoreApplication::instance(),
            &QCoreApplication::quit, Qt::QueuedConnection);
    connect(m_panel.get(), &DropdownView::historyRequested, this, &Application::openHistory);
    connect(m_panel.get(), &DropdownView::settingsRequested, this, &Application::openSettings);
    connect(m_panel.get(), &DropdownView::pauseToggleRequested, this, &Application::togglePause);
    connect(m_panel.get(), &DropdownView::pauseForRequested, this, &Application::pauseFor);
    connect(m_panel.get(), &DropdownView::pauseUntilTomorrowRequested, this,
            &Application::pauseUntilTomorrow);
    m_panelToggle = std::make_unique<PanelToggle>(*m_panel, m_options.clock);
    // The panel shows yesterday, the average and the streak: current at every opening.
    connect(m_panelToggle.get(), &PanelToggle::aboutToShow, m_model.get(),
            &MenuBarViewModel::refreshStatistics);
}

// The updater needs the desktop's notification centre, so it is made right after the desktop's
// services rather than first thing. Without a feed built in it never touches the network.
void Application::setUpUpdater()
{
    AppcastUpdater::Options updaterOptions;
    updaterOptions.bundleInformation = BundleInformation::builtIn();
    updaterOptions.downloadDirectory = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    auto updater = std::make_unique<AppcastUpdater>(updaterOptions, m_network, m_updateAlerts,
                                                    m_desktop->notificationCenter());
    m_updaterController =
        std::make_unique<UpdaterController>(std::move(updater), m_preferences, m_network, m_updateAlerts,
                                            UpdaterController::Options{BundleInformation::builtIn()});
}

void Application::setUpWindows()
{
    m_windows = std::make_unique<WindowCoordinator>(WindowCoordinator::Services{
        m_preferences, m_inProcessNotifications, m_desktop->notificationCenter(), m_desktop->loginItem(),
        *m_updaterController, m_store.get(), m_options.clock, QCoreApplication::applicationVersion(),
        [desktop = m_desktop.get(), sharing = QPointer<TotalsSharing>(m_sharing.get())] {
            const GlobalHotKey* hotKey = desktop->globalHotKey();
            return SettingsDesktop{desktop->desktopNames(), hotKey && hotKey->worksSystemWide(),
                                   sharing ? &sharing->folder() : nullptr};
        },
        &m_sharing->folder(), [desktop = m_desktop.get()] { desktop->returnFreedMemory(); }});
    // The folder can fail or recover, and computers come and go there, with no setting changed:
    // the open settings show it at once.
    connect(&m_sharing->folder(), &SharedTotalsFolder::problemChanged, m_windows.get(),
            &WindowCoordinator::refreshSettingsDesktop);
    connect(&m_sharing->folder(), &SharedTotalsFolder::totalsChanged, m_windows.get(),
            &WindowCoordinator::refreshSettingsDesktop);
}

// A copy started from a mounted installer image offers to throw the image away; it runs in
// the background and says nothing either way.
void Application::cleanUpInstallerImage()
{
    if (!m_options.withStatusItem)
        return;
    const QString image = m_desktop->runningImagePath();
    const QString bundle = image.isEmpty() ? QCoreApplication::applicationFilePath() : image;
    m_installerImageCleanup = std::make_unique<InstallerImageCleanup>(
        InstallerImageCleanup::Options{bundle, QDir::homePath(), m_desktop->diskImageUtilityPath()});
    m_installerImageCleanup->cleanUpInstallerImage();
}

// The preference says what the user wants; the autostart entry is what happens. When they
// differ the entry is brought in line, and when that fails the preference is brought in line
// with the entry instead, so the settings window never shows a state that is not real. The
// headless mode leaves it alone: the entry would start the panel, which it never asked for.
void Application::syncLaunchAtLogin()
{
    LoginItem& item = m_desktop->loginItem();
    if (!m_options.withStatusItem || !item.isSupported())
        return;
    const bool wanted = m_preferences.value(PreferenceKeys::launchAtLogin);
    const bool actual = item.isEnabled();
    if (wanted == actual)
        return;
    QString error;
    if (item.setEnabled(wanted, &error))
        return;
    qCWarning(lcScreenTime, "launch at login could not be changed: %s", qPrintable(error));
    m_preferences.setValue(PreferenceKeys::launchAtLogin, actual);
}

// A press anywhere only posts the in-process notification; its observer toggles the pause, so
// every way of toggling goes through the same place.
void Application::installHotKeyHandler()
{
    GlobalHotKey* hotKey = m_desktop->globalHotKey();
    if (!hotKey)
        return;
    InProcessNotificationCenter* center = &m_inProcessNotifications;
    connect(hotKey, &GlobalHotKey::pressed, this,
            [center] { center->post(InProcessNotificationCenter::hotKeyPressed); });
}

void Application::registerHotKey()
{
    GlobalHotKey* hotKey = m_desktop->globalHotKey();
    if (hotKey)
        hotKey->unregisterHotKey();
    m_shortcutLocalMonitor.reset();
    const qint64 keyCode = m_preferences.value(PreferenceKeys::shortcutKeyCode);
    if (keyCode < 0)
        return;
    const qint64 modifiers = m_preferences.value(PreferenceKeys::shortcutModifiers);
    if (keyCode > largestKeyCode || modifiers < 0) {
        qCWarning(lcScreenTime,
                  "the stored pause shortcut (key %lld, modifiers %lld) is not a key press; "
                  "no shortcut is active",
                  keyCode, modifiers);
        return;
    }
    if (hotKey &&
        !hotKey->registerHotKey(static_cast<int>(keyCode), ShortcutModifiers::hotKeyFlags(modifiers)))
        qCInfo(lcScreenTime,
               "the pause shortcut works only inside Lumatick's windows: the desktop refused it");
    m_shortcutLocalMonitor = std::make_unique<ShortcutKeyMonitor>(static_cast<int>(keyCode), modifiers);
    connect(m_shortcutLocalMonitor.get(), &ShortcutKeyMonitor::triggered, this, &Application::togglePause);
}

// The observers live as long as this object; the first run shows the onboarding instead of
// asking for notifications, which the onboarding's end asks for.
void Application::observeNotifications()
{
    InProcessNotificationCenter& center = m_inProcessNotifications;
    NotificationManager* notifications = m_notifications.get();
    center.observe(InProcessNotificationCenter::notifPrefsChanged, this,
                   [notifications] { notifications->rescheduleSummaries(); });
    center.observe(InProcessNotificationCenter::shortcutChanged, this, [this] { registerHotKey(); });
    center.observe(InProcessNotificationCenter::hotKeyPressed, this, [this] { togglePause(); });
    if (m_preferences.value(PreferenceKeys::onboardingShown))
        requestNotificationAuthorization();
    else if (m_options.withStatusItem)
        QTimer::singleShot(m_options.onboardingDelay, this, &Application::showOnboarding);
}

// The answer does not matter: the summaries are scheduled either way.
void Application::requestNotificationAuthorization()
{
    const QPointer<Application> self(this);
    m_desktop->notificationCenter().requestAuthorization([self](bool) {
        if (self)
            self->m_notifications->rescheduleSummaries();
    });
}

// Said once per run, in plain words, with the way to reach everything without the item.
void Application::tellNothingCanShowStatusItem()
{
    qCWarning(lcScreenTime, "no panel shows status items; run lumatick again to open its panel");
    NotificationRequest request;
    request.identifier = noStatusItemNotification;
    request.title = notificationTitle;
    // On GNOME our own extension shows the counter in its colour; gnome-extensions asks the
    // shell's org.gnome.Shell.Extensions to turn it on.
    const bool gnome = m_desktop->desktopNames()
                           .split(QLatin1Char(':'))
                           .contains(QStringLiteral("GNOME"), Qt::CaseInsensitive);
    request.body = gnome ? tr("Your panel cannot show Lumatick's counter. Turn on Lumatick's GNOME "
                              "Shell extension in Extensions, or run \u201cgnome-extensions enable "
                              "%1\u201d. Until then, run lumatick again to open its panel.")
                               .arg(ApplicationIdentity::shellExtensionUuid)
                         : tr("Your panel cannot show Lumatick's counter. Install a panel applet "
                              "that shows status items. Until then, run lumatick again to open "
                              "its panel.");
    request.defaultSound = false;
    m_desktop->notificationCenter().add(request);
}

// Said only where notifications reach the user; the label's lost pause sign says it anyway.
void Application::tellPauseEnded()
{
    NotificationRequest request;
    request.identifier = NotificationIdentifiers::pauseEnded;
    request.title = notificationTitle;
    request.body = tr("Your pause is over: screen time counts again.");
    m_desktop->notificationCenter().add(request);
}

// A timed pause that has run out resumes before the redraw, so the label never shows 0m.
void Application::handleTick()
{
    m_pauseTimer->expireIfDue();
    m_model->refresh();
    updateStatusItem();
    m_control->publishChanges();
    m_notifications->checkSummaryDue();
    if (++m_ticksSinceLastNotifRefresh >= ticksBetweenSummaryRefreshes) {
        m_ticksSinceLastNotifRefresh = 0;
        m_notifications->rescheduleSummaries();
    }
}

void Application::handleMidnightReset()
{
    m_model->refreshStatistics();
    m_notifications->rescheduleSummaries();
}

// The day may have changed under the new zone, and the summaries wait for local times.
void Application::handleTimeZoneChange()
{
    m_manager->timeZoneChanged();
    m_notifications->rescheduleSummaries();
}

void Application::handleWake()
{
    m_manager->resumeAfterWake();
    m_model->refresh();
    m_model->refreshStatistics();
    updateStatusItem();
    m_notifications->rescheduleSummaries();
}

// A host that shows only icons gets the time in the icon; without any host the panel becomes
// an ordinary window, opened by starting lumatick again.
void Application::handleStatusItemShownChanged()
{
    updateStatusItem();
    m_panelFlags =
        m_statusItem && m_statusItem->isShown() ? PanelToggle::windowFlags : Qt::WindowFlags(Qt::Window);
    if (m_panel && !m_panel->isVisible()) {
        m_panel->setWindowFlags(m_panelFlags);
        m_panel->setWindowTitle(ApplicationIdentity::applicationName);
    }
}

void Application::updateStatusItem()
{
    if (!m_presenter)
        return;
    m_presenter->update(StatusItemState{
        m_model->formattedTime(), m_model->thresholdTier(), m_model->isPaused(),
        m_model->accumulatedSeconds(), m_preferences.value(PreferenceKeys::menuBarIconOnly),
        timePlacementFrom(m_preferences.value(PreferenceKeys::timePlacement)), pauseTimeLeft()});
}

// Whole minutes, rounded up, so the last minute shows 1m rather than 0m.
QString Application::pauseTimeLeft() const
{
    if (!m_pauseTimer->isRunning())
        return {};
    return formatDuration((m_pauseTimer->secondsLeft() + 59) / 60 * 60, false);
}

// The menu's rows show the same figures as the panel, current at every opening.
void Application::refreshMenuFigures()
{
    m_model->refreshStatistics();
    showMenuFigures();
}

void Application::showMenuFigures()
{
    if (m_statusItem)
        m_statusItem->setMenuFigures(m_model->figureLines());
}

// The one way to pause, whatever the user pressed: the counter shows the pause sign at once
// rather than at the next tick. A plain pause or resume ends a timed pause.
void Application::setPaused(bool paused)
{
    m_pauseTimer->cancel();
    m_manager->setPaused(paused);
    showPauseChange();
}

void Application::pauseFor(qint64 seconds)
{
    m_pauseTimer->pauseFor(seconds);
    showPauseChange();
}

void Application::pauseUntilTomorrow()
{
    m_pauseTimer->pauseUntilTomorrow();
    showPauseChange();
}

void Application::showPauseChange()
{
    m_model->refresh();
    updateStatusItem();
}

void Application::togglePause()
{
    setPaused(!m_manager->isPaused());
}

bool Application::isPanelVisible() const
{
    return m_panel && m_panel->isVisible();
}

QWidget* Application::panel()
{
    if (m_options.withStatusItem)
        panelToggle();
    return m_panel.get();
}

void Application::togglePanel()
{
    whenPanelBuilt([this] { m_panelToggle->toggle(); });
}

void Application::togglePanelAt(QPoint position)
{
    whenPanelBuilt([this, position] { m_panelToggle->toggleAt(position); });
}

// A panel built just now opens on the next turn of the event loop, once screen readers have
// heard of its window: one that takes the focus at once goes unannounced.
void Application::whenPanelBuilt(const std::function<void()>& action)
{
    if (!m_options.withStatusItem)
        return;
    if (m_panelToggle) {
        action();
        return;
    }
    buildPanel();
    QTimer::singleShot(0, this, action);
}

void Application::closePanel()
{
    if (m_panelToggle)
        m_panelToggle->close();
}

void Application::openSettings()
{
    closePanel();
    if (m_windows)
        m_windows->openSettings();
}

void Application::openHistory()
{
    closePanel();
    if (m_windows)
        m_windows->openHistory();
}

void Application::showOnboarding()
{
    if (m_windows) {
        const QPointer<Application> self(this);
        m_windows->showOnboarding([self] {
            if (self)
                self->completeOnboarding();
        });
    }
}

void Application::completeOnboarding()
{
    m_preferences.setValue(PreferenceKeys::onboardingShown, true);
    if (m_windows)
        m_windows->closeOnboarding();
    requestNotificationAuthorization();
    openSettings();
}

// The quit path of a menu Quit and of SIGTERM alike. Break reminders stay: they are about the
// next session and are replaced anyway.
void Application::saveAndWithdraw()
{
    if (m_manager)
        m_manager->saveToday();
    if (m_sharing)
        m_sharing->saveNow();
    if (m_notifications)
        m_notifications->withdrawSummaries();
}
