#include "Application.h"

#include "ActivityTracker.h"
#include "ApplicationIdentity.h"
#include "BreakReminderNotifier.h"
#include "ControlService.h"
#include "DropdownView.h"
#include "LinuxDesktopServices.h"
#include "Logging.h"
#include "MenuBarViewModel.h"
#include "NotificationCenter.h"
#include "NotificationManager.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "StatusItemPresenter.h"
#include "StatusItemState.h"
#include "StatusNotifierItem.h"
#include "StoreOpener.h"
#include "TierColors.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace {
// Summaries carry the figures they were scheduled with, so they are rebuilt about every
// ten minutes besides the day change and wake.
constexpr qint64 ticksBetweenSummaryRefreshes = 600;

QDateTime wallClock()
{
    return QDateTime::currentDateTimeUtc();
}

// The panel opens with its corner at `position` but never hangs off the screen's usable area
// (a panel at the bottom or the right edge would otherwise push it out of sight).
QPoint keptOnScreen(QPoint position, QSize size)
{
    const QScreen* screen = QGuiApplication::screenAt(position);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return position;
    const QRect area = screen->availableGeometry();
    const int x = std::max(area.left(), std::min(position.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(position.y(), area.bottom() + 1 - size.height()));
    return {x, y};
}
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
    if (!openStore())
        return StartResult::storeUnavailable;
    startDesktopServices();
    setUpManagers();
    observeSessionEvents();
    m_tracker->setIdleTimeSource(m_desktop->idleTimeSource());
    m_breakReminders = std::make_unique<BreakReminderNotifier>(*m_manager, m_desktop->notificationCenter());
    if (!registerControlService())
        return StartResult::anotherInstanceRunning;
    if (m_options.withStatusItem)
        setUpStatusItem();
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &Application::saveAndWithdraw);
    m_model->refresh();
    updateStatusItem();
    requestNotificationAuthorization();
    m_manager->start();
    return StartResult::running;
}

bool Application::openStore()
{
    StoreOpener::Result opened =
        StoreOpener(StoreOpener::defaultDirectory(), m_preferences).open(QDateTime::currentDateTime());
    for (const QString& file : opened.movedAside)
        qCWarning(lcScreenTime, "the store could not be opened and was moved aside: %s", qPrintable(file));
    m_store = std::move(opened.store);
    m_storeError = opened.errorDescription;
    return m_store != nullptr;
}

// The desktop's services come before the managers because the notification manager is
// built on the desktop's notification centre.
void Application::startDesktopServices()
{
    m_desktop = std::make_unique<LinuxDesktopServices>(
        LinuxDesktopServices::Options{m_options.sessionBus, m_options.systemBus, wallClock,
                                      m_options.executablePath, DesktopSession::fromEnvironment()});
}

void Application::setUpManagers()
{
    m_tracker = std::make_unique<ActivityTracker>(wallClock);
    m_manager = std::make_unique<ScreenTimeManager>(*m_tracker, m_preferences, wallClock);
    m_manager->setModelContext(m_store.get());
    m_manager->loadTodayTotal();
    m_manager->saveToday();
    m_notifications =
        std::make_unique<NotificationManager>(m_desktop->notificationCenter(), m_preferences, wallClock);
    m_notifications->setModelContext(m_store.get());
    m_notifications->setScreenTimeManager(m_manager.get());
    m_model = std::make_unique<MenuBarViewModel>(*m_manager, *m_tracker, m_preferences, wallClock);
    m_model->setModelContext(m_store.get());
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
    connect(&events, &SessionEvents::machineDidWake, this, &Application::handleWake);
}

// Failing on a connected bus means another instance took the name since the hand-over check;
// without any session bus the counter still runs, only without its control object.
bool Application::registerControlService()
{
    m_control = std::make_unique<ControlService>(*m_model, *m_manager);
    connect(m_control.get(), &ControlService::showPanelRequested, this, &Application::togglePanel);
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
    m_statusItem = std::make_unique<StatusNotifierItem>(m_options.sessionBus, QStringLiteral("lumatick"),
                                                        ApplicationIdentity::applicationName);
    TierColors* colors = m_tierColors.get();
    m_presenter = std::make_unique<StatusItemPresenter>(
        *m_statusItem, [colors](ThresholdTier tier) { return colors->tierColor(tier); }, wallClock);
    connect(m_statusItem.get(), &StatusItemBackend::activated, this, &Application::showPanelAt);
    connect(m_statusItem.get(), &StatusItemBackend::pauseToggleRequested, this, &Application::togglePause);
    connect(m_statusItem.get(), &StatusItemBackend::quitRequested, QCoreApplication::instance(),
            &QCoreApplication::quit, Qt::QueuedConnection);
    m_statusItem->start();
    setUpPanel();
}

void Application::setUpPanel()
{
    m_panel = std::make_unique<DropdownView>(*m_model, m_preferences);
    m_panel->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    connect(m_panel.get(), &DropdownView::quitRequested, QCoreApplication::instance(),
            &QCoreApplication::quit, Qt::QueuedConnection);
}

// Only a user who has been through the onboarding is asked; the answer does not matter,
// the summaries are scheduled either way.
void Application::requestNotificationAuthorization()
{
    if (!m_preferences.value(PreferenceKeys::onboardingShown))
        return;
    const QPointer<Application> self(this);
    m_desktop->notificationCenter().requestAuthorization([self](bool) {
        if (self)
            self->m_notifications->rescheduleSummaries();
    });
}

void Application::handleTick()
{
    m_model->refresh();
    updateStatusItem();
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

void Application::handleWake()
{
    m_manager->resumeAfterWake();
    m_model->refresh();
    m_model->refreshStatistics();
    updateStatusItem();
    m_notifications->rescheduleSummaries();
}

void Application::updateStatusItem()
{
    if (!m_presenter)
        return;
    m_presenter->update(StatusItemState{m_model->formattedTime(), m_model->thresholdTier(),
                                        m_model->isPaused(), m_model->accumulatedSeconds(),
                                        m_preferences.value(PreferenceKeys::menuBarIconOnly)});
}

void Application::togglePause()
{
    m_manager->togglePause();
    m_model->refresh();
    updateStatusItem();
}

// A request over the bus carries no position; the panel then opens where the status item was
// last clicked, or at the pointer when it never was.
void Application::togglePanel()
{
    if (!m_panel)
        return;
    if (m_panel->isVisible()) {
        m_panel->hide();
        return;
    }
    showPanelAt(m_lastActivationPoint.isNull() ? QCursor::pos() : m_lastActivationPoint);
}

void Application::showPanelAt(QPoint position)
{
    if (!m_panel)
        return;
    m_lastActivationPoint = position;
    m_model->refreshStatistics();
    m_panel->adjustSize();
    m_panel->move(keptOnScreen(position, m_panel->size()));
    m_panel->show();
    m_panel->activateWindow();
}

// The quit path of a menu Quit and of SIGTERM alike. Break reminders stay: they are about the
// next session and are replaced anyway.
void Application::saveAndWithdraw()
{
    if (m_manager)
        m_manager->saveToday();
    if (m_notifications)
        m_notifications->withdrawSummaries();
}
