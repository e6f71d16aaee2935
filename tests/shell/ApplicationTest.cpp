#include "Application.h"

#include "DailyScreenTime.h"
#include "FakeClock.h"
#include "FakeDesktopServices.h"
#include "FakeStatusItem.h"
#include "FallbackStatusItem.h"
#include "HistoryView.h"
#include "PreferenceKeys.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "ShortcutModifiers.h"
#include "StatusItemPresenter.h"
#include "StoreOpener.h"
#include "WindowCoordinator.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString dailyAdded = u"add com.lumatick.daily"_s;

// The application on in-memory desktop services and a clock that moves only when told. Its
// store, preferences and autostart folder live in the test's sandboxed XDG folders.
class ApplicationTest : public testing::Test {
protected:
    // The sandbox lives as long as the test binary, so each test starts from empty folders.
    void SetUp() override
    {
        QDir(QFileInfo(Preferences::defaultFilePath()).path()).removeRecursively();
        QDir(StoreOpener::defaultDirectory()).removeRecursively();
    }

    void setPreference(const auto& key, const auto& value)
    {
        Preferences preferences(Preferences::defaultFilePath());
        preferences.setValue(key, value);
    }

    void start(bool withStatusItem = true)
    {
        Application::Options options{QDBusConnection(QString()), [this] {
                                         auto desktop = std::make_unique<FakeDesktopServices>();
                                         desktop->setStatusItemsShown(m_statusItemsShown);
                                         m_desktop = desktop.get();
                                         return desktop;
                                     }};
        options.withStatusItem = withStatusItem;
        options.clock = m_clock.clock();
        options.onboardingDelay = std::chrono::milliseconds(50);
        options.statusItemGracePeriod = std::chrono::milliseconds(30);
        m_application = std::make_unique<Application>(std::move(options));
        ASSERT_EQ(m_application->start(), Application::StartResult::running);
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            m_clock.advance(1);
            m_application->screenTimeManager()->tick();
        }
    }

    FakeNotificationCenter& notifications() { return m_desktop->fakeNotifications(); }
    qsizetype dailySchedulings() const { return m_desktop->fakeNotifications().log().count(dailyAdded); }

    qint64 storedSeconds(QDate day)
    {
        const StoreOpener::Result opened =
            StoreOpener(StoreOpener::defaultDirectory(), m_preferences).open(m_clock.now());
        const std::optional<DailyScreenTime> record = opened.store->fetchRecord(day.startOfDay());
        return record ? record->totalSeconds() : -1;
    }

    Preferences m_preferences{Preferences::defaultFilePath()};
    FakeClock m_clock{QDateTime(QDate(2026, 3, 10), QTime(14, 0))};
    bool m_statusItemsShown = true;
    FakeDesktopServices* m_desktop = nullptr;
    std::unique_ptr<Application> m_application;
};

TEST_F(ApplicationTest, firstRunShowsTheOnboardingLaterAndAsksNothingYet)
{
    start();
    QSignalSpy onboarding(m_application.get(), &Application::onboardingRequested);

    // Not at once: half a second (here shortened) after launch.
    EXPECT_EQ(onboarding.count(), 0);
    EXPECT_TRUE(onboarding.wait(2000));
    EXPECT_FALSE(notifications().log().contains(u"requestAuthorization"_s));
    EXPECT_EQ(dailySchedulings(), 0);

    WindowCoordinator* windows = m_application->windows();
    ASSERT_NE(windows, nullptr);
    ASSERT_NE(windows->onboardingWindow(), nullptr);
    EXPECT_TRUE(windows->onboardingWindow()->isVisible());
    EXPECT_EQ(windows->settingsWindow(), nullptr);

    m_application->completeOnboarding();
    EXPECT_TRUE(m_application->preferences().value(PreferenceKeys::onboardingShown));
    EXPECT_TRUE(notifications().log().contains(u"requestAuthorization"_s));
    EXPECT_EQ(windows->onboardingWindow(), nullptr);
    ASSERT_NE(windows->settingsWindow(), nullptr);
    EXPECT_TRUE(windows->settingsWindow()->isVisible());
    EXPECT_EQ(windows->settingsWindow()->windowTitle(), u"Lumatick Settings"_s);
}

TEST_F(ApplicationTest, settingsOpenOnceAndHistoryReopensInTheSameWindow)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    start();
    WindowCoordinator* windows = m_application->windows();
    m_application->openSettings();
    QWidget* settings = windows->settingsWindow();
    settings->close();
    m_application->openSettings();
    EXPECT_EQ(windows->settingsWindow(), settings);
    EXPECT_TRUE(settings->isVisible());

    m_application->openHistory();
    QWidget* history = windows->historyWindow();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->windowTitle(), u"Screen Time History"_s);
    EXPECT_EQ(history->minimumSize(), QSize(500, 400));
    // The user picks 30 days, closes and reopens: same window, ranges back at their defaults.
    const auto buttons = history->findChildren<QAbstractButton*>();
    const auto thirtyDays = std::find_if(buttons.begin(), buttons.end(),
                                         [](QAbstractButton* button) { return button->text() == u"30d"_s; });
    ASSERT_NE(thirtyDays, buttons.end());
    (*thirtyDays)->click();
    ASSERT_EQ(history->findChild<HistoryView*>()->dailyRange(), DailyRange::thirtyDays);
    history->move(120, 80);
    const QPoint placed = history->pos();
    history->close();
    m_application->openHistory();
    EXPECT_EQ(windows->historyWindow(), history);
    EXPECT_EQ(history->pos(), placed);
    QCoreApplication::processEvents();
    ASSERT_EQ(history->findChildren<HistoryView*>().size(), 1);
    EXPECT_EQ(history->findChild<HistoryView*>()->dailyRange(), DailyRange::sevenDays);
}

TEST_F(ApplicationTest, laterRunAsksForNotificationsThenSchedulesWhateverTheAnswer)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    setPreference(PreferenceKeys::dailyNotifEnabled, true);
    for (bool granted : {true, false}) {
        SCOPED_TRACE(granted);
        m_application.reset();
        start();
        notifications().setAnswerToAuthorizationRequest(granted);
        QSignalSpy onboarding(m_application.get(), &Application::onboardingRequested);
        const QStringList log = notifications().log();
        const qsizetype asked = log.indexOf(u"requestAuthorization"_s);
        ASSERT_GE(asked, 0);
        EXPECT_GT(log.indexOf(dailyAdded, asked), asked);
        EXPECT_FALSE(onboarding.wait(200));
    }
}

TEST_F(ApplicationTest, summariesAreRescheduledOnTheSixHundredthTickNotBefore)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    setPreference(PreferenceKeys::dailyNotifEnabled, true);
    // Far from the current hour, so the last-minute refresh does not add requests of its own.
    setPreference(PreferenceKeys::dailyNotifHour, 3);
    start();
    const qsizetype atLaunch = dailySchedulings();

    tick(599);
    EXPECT_EQ(dailySchedulings(), atLaunch);
    tick();
    EXPECT_EQ(dailySchedulings(), atLaunch + 1);
    tick(599);
    EXPECT_EQ(dailySchedulings(), atLaunch + 1);
    tick();
    EXPECT_EQ(dailySchedulings(), atLaunch + 2);
}

TEST_F(ApplicationTest, wakingOnALaterDaySavesTheOldDayAndBringsEverythingUpToDate)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    setPreference(PreferenceKeys::dailyNotifEnabled, true);
    setPreference(PreferenceKeys::dailyNotifHour, 3);
    start();
    tick(90);
    FakeStatusItem* item = m_desktop->statusItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->label(), u"1m 30s"_s);

    m_desktop->sessionEvents().machineWillSleep();
    m_clock.advance(2 * 24 * 3600);
    const qsizetype before = dailySchedulings();
    m_desktop->sessionEvents().machineDidWake();

    EXPECT_EQ(storedSeconds(QDate(2026, 3, 10)), 90);
    // The label shows the new day's total at once, not the old day's.
    EXPECT_EQ(item->label(), u"0s"_s);
    EXPECT_EQ(dailySchedulings(), before + 1);
}

TEST_F(ApplicationTest, theStoredTotalShowsBeforeTheFirstTick)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    {
        const StoreOpener::Result opened =
            StoreOpener(StoreOpener::defaultDirectory(), m_preferences).open(m_clock.now());
        opened.store->saveDayTotal(QDate(2026, 3, 10).startOfDay(), 3723);
    }
    start();
    FakeStatusItem* item = m_desktop->statusItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->label(), u"1h 02m 03s"_s);
    EXPECT_TRUE(item->isStarted());
}

TEST_F(ApplicationTest, launchAtLoginFollowsThePreferenceOrThePreferenceFollowsTheFailure)
{
    // The registered default is on, so a first launch registers the item.
    start();
    EXPECT_TRUE(m_desktop->fakeLoginItem().isEnabled());

    m_application.reset();
    setPreference(PreferenceKeys::launchAtLogin, false);
    start();
    // A fresh fake starts disabled: wanted and actual agree, nothing is called.
    EXPECT_TRUE(m_desktop->fakeLoginItem().calls().isEmpty());

    m_application.reset();
    setPreference(PreferenceKeys::launchAtLogin, true);
    m_application = nullptr;
    Application::Options options{QDBusConnection(QString()), [this] {
                                     auto desktop = std::make_unique<FakeDesktopServices>();
                                     desktop->fakeLoginItem().setFailing(true);
                                     m_desktop = desktop.get();
                                     return desktop;
                                 }};
    options.clock = m_clock.clock();
    m_application = std::make_unique<Application>(std::move(options));
    ASSERT_EQ(m_application->start(), Application::StartResult::running);
    EXPECT_EQ(m_desktop->fakeLoginItem().calls(), QStringList({u"enable"_s}));
    EXPECT_FALSE(m_application->preferences().value(PreferenceKeys::launchAtLogin));
}

TEST_F(ApplicationTest, thePauseShortcutIsRegisteredFromThePreferencesAndFollowsChanges)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    start();
    FakeGlobalHotKey& hotKey = m_desktop->fakeHotKey();
    // The default key code −1 means no shortcut.
    EXPECT_FALSE(hotKey.registered().has_value());

    using namespace ShortcutModifiers;
    Preferences& preferences = m_application->preferences();
    preferences.setValue(PreferenceKeys::shortcutKeyCode, 33);
    preferences.setValue(PreferenceKeys::shortcutModifiers, control | option | capsLock);
    m_application->inProcessNotifications().post(InProcessNotificationCenter::shortcutChanged);
    QCoreApplication::processEvents();
    // Caps lock does not travel to the system-wide grab.
    EXPECT_EQ(hotKey.registered(), std::make_pair(33, int(control | option)));

    FakeStatusItem* item = m_desktop->statusItem();
    hotKey.press(33, int(control | option));
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_application->screenTimeManager()->isPaused());
    // The pause sign shows at once, not at the next tick.
    EXPECT_TRUE(item->label().startsWith(StatusItemPresenter::pausePrefix()));
    EXPECT_TRUE(item->menuPaused());

    preferences.setValue(PreferenceKeys::shortcutKeyCode, -1);
    m_application->inProcessNotifications().post(InProcessNotificationCenter::shortcutChanged);
    QCoreApplication::processEvents();
    EXPECT_FALSE(hotKey.registered().has_value());
    hotKey.press(33, int(control | option));
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_application->screenTimeManager()->isPaused());

    // A key code no key press can have registers nothing.
    preferences.setValue(PreferenceKeys::shortcutKeyCode, 70000);
    m_application->inProcessNotifications().post(InProcessNotificationCenter::shortcutChanged);
    QCoreApplication::processEvents();
    EXPECT_FALSE(hotKey.registered().has_value());
}

TEST_F(ApplicationTest, theShortcutTypedIntoOurOwnWindowsTogglesAndIsSwallowed)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    using namespace ShortcutModifiers;
    setPreference(PreferenceKeys::shortcutKeyCode, 33);
    setPreference(PreferenceKeys::shortcutModifiers, control | option);
    start();

    QWidget window;
    const auto press = [&window](Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_P, modifiers, 33, 0, 0);
        return QCoreApplication::sendEvent(&window, &event) && event.isAccepted();
    };
    // An extra modifier is a different shortcut: passed on, nothing toggles.
    press(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_FALSE(m_application->screenTimeManager()->isPaused());
    press(Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(m_application->screenTimeManager()->isPaused());
    press(Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(m_application->screenTimeManager()->isPaused());
}

TEST_F(ApplicationTest, changedSummaryPreferencesRescheduleAtOnce)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    start();
    EXPECT_EQ(dailySchedulings(), 0);
    m_application->preferences().setValue(PreferenceKeys::dailyNotifEnabled, true);
    m_application->inProcessNotifications().post(InProcessNotificationCenter::notifPrefsChanged);
    QCoreApplication::processEvents();
    EXPECT_EQ(dailySchedulings(), 1);
}

TEST_F(ApplicationTest, withoutAnyHostTheUserIsToldOnceAndThePanelBecomesAWindow)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    m_statusItemsShown = false;
    start();
    // The offscreen platform has no tray either, so nothing can show the item.
    QTest::qWait(100);
    const auto told = [this] {
        return std::count_if(notifications().delivered().begin(), notifications().delivered().end(),
                             [](const NotificationRequest& request) {
                                 return request.identifier == u"com.lumatick.noStatusItem"_s;
                             });
    };
    EXPECT_EQ(told(), 1);

    // The host appears later (the panel restarted) and goes again: not told twice.
    m_desktop->statusItem()->setShown(true);
    m_desktop->statusItem()->setShown(false);
    QTest::qWait(100);
    EXPECT_EQ(told(), 1);
}

TEST_F(ApplicationTest, quittingSavesTodayAndWithdrawsBothSummaries)
{
    setPreference(PreferenceKeys::onboardingShown, true);
    start();
    tick(42);
    notifications().clearLog();
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
    EXPECT_EQ(storedSeconds(QDate(2026, 3, 10)), 42);
    EXPECT_TRUE(notifications().log().contains(u"removePending com.lumatick.daily"_s));
    EXPECT_TRUE(notifications().log().contains(u"removePending com.lumatick.weekly"_s));
    // Break reminders are about the next session and stay.
    EXPECT_FALSE(notifications().log().contains(u"removePending com.lumatick.breakReminder"_s));
}

// Two starts racing past the hand-over: the one that finds the bus name taken leaves before it
// opens the store, so the store never has two writers.
TEST_F(ApplicationTest, aStartThatLosesTheBusNameNeverOpensTheStore)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection winner = bus.connect(u"winner"_s);
    ASSERT_EQ(winner.interface()->registerService(u"com.brightlet.Lumatick"_s).value(),
              QDBusConnectionInterface::ServiceRegistered);

    Application::Options options{bus.connect(u"loser"_s), [this] {
                                     auto desktop = std::make_unique<FakeDesktopServices>();
                                     m_desktop = desktop.get();
                                     return desktop;
                                 }};
    options.clock = m_clock.clock();
    Application loser(std::move(options));
    EXPECT_EQ(loser.start(), Application::StartResult::anotherInstanceRunning);
    EXPECT_FALSE(QFileInfo::exists(StoreOpener::defaultDirectory() + u"/default.store"_s));
    EXPECT_EQ(m_desktop, nullptr);

    QDBusConnection::disconnectFromBus(u"winner"_s);
    QDBusConnection::disconnectFromBus(u"loser"_s);
}

} // namespace
