#include "Application.h"

#include "ApplicationIdentity.h"
#include "BarChartView.h"
#include "ControlClient.h"
#include "FakeClock.h"
#include "FakeDesktopServices.h"
#include "FakeIdleTimeSource.h"
#include "FakeStatusItem.h"
#include "FileContents.h"
#include "FormatDuration.h"
#include "GeneralSection.h"
#include "MenuBarViewModel.h"
#include "NotificationRequest.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "RecordStore.h"
#include "ScopedTimeZone.h"
#include "ScreenTimeManager.h"
#include "SettingsView.h"
#include "ShortcutModifiers.h"
#include "SingleInstance.h"
#include "StatusItemPresenter.h"
#include "StoreOpener.h"
#include "WaitUntil.h"
#include "WindowCoordinator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace PreferenceKeys;

namespace {

// The sign the installed fonts can draw; which one is the presenter's test's business.
QString pauseSign()
{
    return StatusItemPresenter::pausePrefix();
}
const QDate firstDay(2026, 3, 10);
constexpr int keyP = 33;
constexpr int controlOption = int(ShortcutModifiers::control | ShortcutModifiers::option);

// What a status bar hears of the control object's changes.
class PropertiesChangedRecorder : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void record(const QDBusMessage& message)
    {
        changes.append(qdbus_cast<QVariantMap>(message.arguments().value(1)));
    }

public:
    QList<QVariantMap> changes;
};

// The desktop's key grab, which some desktops refuse.
class RefusableHotKey : public FakeGlobalHotKey {
public:
    bool registerHotKey(int keyCode, int modifiers) override
    {
        return !refuses && FakeGlobalHotKey::registerHotKey(keyCode, modifiers);
    }
    bool refuses = false;
};

// A status item on a panel that may show only icons, as KDE's and XFCE's do.
class ScenarioStatusItem : public FakeStatusItem {
public:
    bool showsLabel() const override { return !iconsOnly; }
    bool iconsOnly = false;
};

// In-memory desktop services with an idle-time service and a panel the test controls.
class ScenarioDesktop : public FakeDesktopServices {
public:
    explicit ScenarioDesktop(Clock clock)
        : idle(std::move(clock))
    {}
    IdleTimeSource* idleTimeSource() const override { return &idle; }
    GlobalHotKey* globalHotKey() const override { return &hotKey; }
    std::unique_ptr<StatusItemBackend> createStatusItem(const QString&, const QString&) override
    {
        auto created = std::make_unique<ScenarioStatusItem>();
        created->setShown(hostShowsItem);
        created->iconsOnly = hostShowsIconsOnly;
        item = created.get();
        return created;
    }

    mutable FakeIdleTimeSource idle;
    mutable RefusableHotKey hotKey;
    bool hostShowsItem = true;
    bool hostShowsIconsOnly = false;
    QPointer<ScenarioStatusItem> item;
};

// The assembled application on in-memory desktop services, a private session bus and a clock
// that moves only when told, driven through a day the way a user lives it.
class ApplicationTest : public testing::Test {
public:
    using Setup = std::function<void(ScenarioDesktop&)>;

    // A later run (the onboarding was seen) with the daily summary on; each test starts afresh.
    void SetUp() override
    {
        QDir(QFileInfo(Preferences::defaultFilePath()).path()).removeRecursively();
        QDir(StoreOpener::defaultDirectory()).removeRecursively();
        set(onboardingShown, true);
        set(dailyNotifEnabled, true);
    }

    void TearDown() override { stop(); }

    void set(const auto& key, const auto& value)
    {
        Preferences(Preferences::defaultFilePath()).setValue(key, value);
    }

    // `whileBuilding` runs while the desktop's services are built, before the application listens.
    void start(const Setup& whileBuilding = {})
    {
        static int runs = 0;
        m_connection = u"application%1"_s.arg(++runs);
        Application::Options options{m_bus.connect(m_connection), [this, whileBuilding] {
                                         auto desktop = std::make_unique<ScenarioDesktop>(m_clock.clock());
                                         desktop->hotKey.refuses = m_refuseHotKey;
                                         if (whileBuilding)
                                             whileBuilding(*desktop);
                                         m_desktop = desktop.get();
                                         return desktop;
                                     }};
        options.clock = m_clock.clock();
        options.onboardingDelay = 50ms;
        options.statusItemGracePeriod = 30ms;
        m_app = std::make_unique<Application>(std::move(options));
        ASSERT_EQ(m_app->start(), Application::StartResult::running);
    }

    void stop()
    {
        m_app.reset();
        QDBusConnection::disconnectFromBus(m_connection);
        QDBusConnection::disconnectFromBus(u"client"_s);
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            m_clock.advance(1);
            m_app->screenTimeManager()->tick();
        }
    }

    SessionEvents& session() { return m_desktop->sessionEvents(); }
    ScenarioStatusItem& item() { return *m_desktop->item; }
    QString label() { return item().label(); }
    static QString shown(qint64 seconds) { return formatDuration(seconds, true); }
    FakeNotificationCenter& notifications() { return m_desktop->fakeNotifications(); }
    qsizetype dailySchedulings() { return notifications().log().count(u"add com.lumatick.daily"_s); }
    QWidget* panelChild(const QString& name) { return m_app->panel()->findChild<QWidget*>(name); }

    std::unique_ptr<RecordStore> openStore()
    {
        return StoreOpener(StoreOpener::defaultDirectory(), m_preferences).open(m_clock.now()).store;
    }

    qint64 stored(QDate day)
    {
        const std::optional<DailyScreenTime> record = openStore()->fetchRecord(day.startOfDay());
        return record ? record->totalSeconds() : -1;
    }

    // The way `lumatick ctl` and scripts reach the running instance.
    QDBusMessage callControl(const QString& method, const QVariantList& arguments = {},
                             const QString& interface = ApplicationIdentity::controlInterface)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath, interface, method);
        message.setArguments(arguments);
        const QDBusPendingCall call = m_bus.connect(u"client"_s).asyncCall(message);
        EXPECT_TRUE(waitUntil([&] { return call.isFinished(); }));
        return call.reply();
    }

    // The real command line, while the loop keeps answering the application's calls.
    std::pair<int, QByteArray> runLumatick(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, m_bus.address());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(LUMATICK_BINARY), arguments);
        EXPECT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 20'000));
        return {process.exitCode(), process.readAllStandardOutput() + process.readAllStandardError()};
    }

    // A key press that reaches one of our windows.
    bool typeShortcut(Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_P, modifiers, keyP, 0, 0);
        return QCoreApplication::sendEvent(m_app->panel(), &press) && press.isAccepted();
    }

    PrivateBus m_bus;
    QString m_connection;
    Preferences m_preferences{Preferences::defaultFilePath()};
    FakeClock m_clock{QDateTime(firstDay, QTime(14, 0))};
    bool m_refuseHotKey = false;
    ScenarioDesktop* m_desktop = nullptr;
    std::unique_ptr<Application> m_app;
};

TEST_F(ApplicationTest, aLockOrDarkDisplaysAtStartUpCountNothingUntilTheyEnd)
{
    const struct {
        const char* name;
        void (SessionEvents::*before)();
        void (SessionEvents::*end)();
    } cases[] = {{"locked", &SessionEvents::screenLocked, &SessionEvents::screenUnlocked},
                 {"displays asleep", &SessionEvents::screensDidSleep, &SessionEvents::screensDidWake}};
    for (const auto& startUp : cases) {
        SCOPED_TRACE(startUp.name);
        QDir(StoreOpener::defaultDirectory()).removeRecursively();
        start([&](ScenarioDesktop& desktop) { (desktop.sessionEvents().*startUp.before)(); });
        tick(5);
        EXPECT_EQ(label(), u"0s"_s);
        (session().*startUp.end)();
        tick(5);
        EXPECT_EQ(label(), u"5s"_s);
        stop();
    }
}

TEST_F(ApplicationTest, aDayOfLocksDisplaySleepSuspendAndMidnight)
{
    // Totals shared with a desktop that counted 100 s today; its file is summed, never written.
    const QString shared = QDir::home().filePath(u"Sync"_s);
    const QByteArray desktop =
        "lumatick-shared-totals,1,Desktop\ndate,total_seconds,total_formatted,goal_met\n"
        "2026-03-10,100,1m 40s,false\n";
    ASSERT_TRUE(writeFile(shared + u"/Lumatick/desktop.csv"_s, desktop));
    start();
    EXPECT_TRUE(panelChild(u"allComputersRow"_s)->isHidden());
    {
        SCOPED_TRACE("sharing turned on in the settings: a missing folder is explained, then the right one");
        m_app->openSettings();
        auto* general = m_app->windows()->settingsWindow()->findChild<GeneralSection*>();
        QStringList chosen{shared + u"/missing"_s, shared};
        general->setFolderChooser([&](const QString&) { return chosen.takeFirst(); });
        general->findChild<QCheckBox*>(u"shareTotalsToggle"_s)->click();
        const auto* problem = general->findChild<QLabel*>(u"sharingProblemCaption"_s);
        EXPECT_EQ(problem->text(), u"The folder %1/missing does not exist."_s.arg(shared));
        general->findChild<QPushButton*>(u"shareFolderButton"_s)->click();
        EXPECT_EQ(problem->text(), QString());
        // A computer silent since January appears while the window is open: listed after this one
        // and the desktop.
        ASSERT_TRUE(writeFile(shared + u"/Lumatick/old.csv"_s,
                              "lumatick-shared-totals,1,Old\ndate,total_seconds,total_formatted,goal_met\n"
                              "2026-01-01,5,5s,false\n"));
        const auto lines = [&] { return general->findChildren<QLabel*>(u"sharedComputerLine"_s); };
        ASSERT_TRUE(waitUntil([&] { return lines().size() == 3; }));
        EXPECT_EQ(lines().first()->text(), u"This computer: "_s + QSysInfo::machineHostName());
        EXPECT_EQ(lines().last()->text(), u"Old: last day %1 (inactive)"_s.arg(
                                              QLocale().toString(QDate(2026, 1, 1), QLocale::ShortFormat)));
    }
    const QString ownFile = shared + u"/Lumatick/"_s + m_preferences.value(installationId) + u".csv"_s;
    const auto allComputers = [&] {
        return callControl(u"Get"_s, {ApplicationIdentity::controlInterface, u"AllComputersTodaySeconds"_s},
                           u"org.freedesktop.DBus.Properties"_s)
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant()
            .toLongLong();
    };
    // Today's record exists from the start, for the command line and the history.
    EXPECT_EQ(stored(firstDay), 0);
    tick(30);
    EXPECT_EQ(label(), u"30s"_s);
    {
        SCOPED_TRACE("locked, then unlocked");
        session().screenLocked();
        tick(10);
        EXPECT_EQ(label(), u"30s"_s);
        session().screenUnlocked();
        tick(10);
        EXPECT_EQ(label(), u"40s"_s);
    }
    {
        SCOPED_TRACE("displays asleep, then awake");
        session().screensDidSleep();
        tick(10);
        EXPECT_EQ(label(), u"40s"_s);
        session().screensDidWake();
        tick(50);
        EXPECT_EQ(label(), u"1m 30s"_s);
    }
    {
        SCOPED_TRACE("suspend: saved before the machine goes down, nothing counted while down");
        session().machineWillSleep();
        EXPECT_EQ(stored(firstDay), 90);
        EXPECT_TRUE(readFile(ownFile).contains("\n2026-03-10,90,1m 30s,false\n"))
            << readFile(ownFile).toStdString();
        EXPECT_EQ(allComputers(), 190);
        EXPECT_FALSE(panelChild(u"allComputersRow"_s)->isHidden());
        EXPECT_EQ(panelChild(u"allComputersValue"_s)->accessibleName(),
                  u"All computers today: 3 minutes 10 seconds"_s);
        EXPECT_EQ(readFile(shared + u"/Lumatick/desktop.csv"_s), desktop);
        tick(2);
        EXPECT_EQ(label(), u"1m 30s"_s);
    }
    {
        SCOPED_TRACE("the history adds the desktop's days; the folder gone shows in the open settings");
        m_app->openHistory();
        const QWidget* history = m_app->windows()->historyWindow();
        for (auto* segment : history->findChild<QWidget*>(u"computerPicker"_s)->findChildren<QToolButton*>())
            if (segment->text() == u"All computers"_s)
                segment->click();
        EXPECT_EQ(history->findChild<BarChartView*>(u"dailyChart"_s)->entries().last().seconds, 190);
        ASSERT_TRUE(QDir(shared).removeRecursively());
        session().machineWillSleep();
        EXPECT_EQ(m_app->windows()->settingsWindow()->findChild<QLabel*>(u"sharingProblemCaption"_s)->text(),
                  u"The folder %1 does not exist."_s.arg(shared));
    }
    {
        SCOPED_TRACE("woken the next day: the new day and yesterday's figures at once");
        m_clock.advance(24 * 3600);
        const qsizetype before = dailySchedulings();
        session().machineDidWake();
        EXPECT_EQ(label(), u"0s"_s);
        EXPECT_EQ(m_app->menuBarModel()->yesterdaySeconds(), 90);
        EXPECT_EQ(dailySchedulings(), before + 1);
        tick();
        EXPECT_EQ(label(), u"1s"_s);
    }
    {
        SCOPED_TRACE("midnight: the finished day kept, statistics and summaries renewed");
        m_clock.set(QDateTime(firstDay.addDays(1), QTime(23, 59, 58)));
        tick();
        EXPECT_EQ(label(), u"4s"_s);
        const qsizetype before = dailySchedulings();
        tick();
        EXPECT_EQ(stored(firstDay.addDays(1)), 4);
        EXPECT_EQ(m_app->menuBarModel()->yesterdaySeconds(), 4);
        EXPECT_EQ(dailySchedulings(), before + 1);
    }
}

TEST_F(ApplicationTest, anIdleTimeoutStopsTheCounterUntilInputReturns)
{
    set(idleTimeoutDisabled, false);
    set(idleTimeoutMinutes, 1);
    start();
    for (int second = 0; second < 120; ++second) {
        m_desktop->idle.setLastInput(m_clock.now());
        tick();
    }
    EXPECT_EQ(label(), u"2m 00s"_s);
    tick(70);
    // Counted while the last input was less than a minute old.
    EXPECT_EQ(label(), u"2m 58s"_s);
    m_desktop->idle.setLastInput(m_clock.now());
    tick();
    EXPECT_EQ(label(), u"2m 59s"_s);
}

TEST_F(ApplicationTest, everyWayOfPausingShowsThePauseSignBeforeTheNextTick)
{
    set(shortcutKeyCode, keyP);
    set(shortcutModifiers, controlOption);
    const struct {
        const char* name;
        std::function<void(ApplicationTest&)> toggle;
    } entries[] = {
        {"menu", [](ApplicationTest& t) { Q_EMIT t.item().pauseToggleRequested(); }},
        {"panel button",
         [](ApplicationTest& t) { qobject_cast<QAbstractButton*>(t.panelChild(u"pauseButton"_s))->click(); }},
        {"system-wide shortcut",
         [](ApplicationTest& t) {
             t.m_desktop->hotKey.press(keyP, controlOption);
             QCoreApplication::processEvents();
         }},
        {"shortcut in our window",
         [](ApplicationTest& t) { t.typeShortcut(Qt::ControlModifier | Qt::AltModifier); }},
        {"bus TogglePause", [](ApplicationTest& t) { t.callControl(u"TogglePause"_s); }},
        {"bus Pause and Resume",
         [](ApplicationTest& t) {
             t.callControl(t.m_app->screenTimeManager()->isPaused() ? u"Resume"_s : u"Pause"_s);
         }},
    };
    start();
    qint64 counted = 0;
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        entry.toggle(*this);
        EXPECT_EQ(label(), pauseSign() + shown(counted));
        EXPECT_TRUE(item().menuPaused());
        EXPECT_TRUE(item().toolTip().startsWith(u"Tracking paused."_s)) << "the hosts without labels";
        tick(3);
        EXPECT_EQ(label(), pauseSign() + shown(counted));
        entry.toggle(*this);
        EXPECT_EQ(label(), shown(counted));
        EXPECT_FALSE(item().toolTip().startsWith(u"Tracking paused."_s));
        tick();
        EXPECT_EQ(label(), shown(++counted));
    }
    // The shortcut cleared in the settings: neither the desktop nor our windows keep it.
    m_app->preferences().setValue(shortcutKeyCode, qint64(-1));
    m_app->inProcessNotifications().post(InProcessNotificationCenter::shortcutChanged);
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_desktop->hotKey.registered().has_value());
    EXPECT_FALSE(typeShortcut(Qt::ControlModifier | Qt::AltModifier));
}

// Each entry pauses until a moment `length` seconds ahead; the counter shows the minutes left.
TEST_F(ApplicationTest, timedPausesShowTheTimeLeftResumeByThemselvesAndOutliveARestart)
{
    const auto untilMidnight = [](ApplicationTest& t) {
        return t.m_clock.now().secsTo(t.m_clock.now().toLocalTime().date().addDays(1).startOfDay());
    };
    const auto panelEntry = [](ApplicationTest& t, int row) {
        qobject_cast<QToolButton*>(t.panelChild(u"pauseMenuButton"_s))->menu()->actions().at(row)->trigger();
    };
    const struct {
        const char* name;
        std::function<void(ApplicationTest&)> pause;
        std::function<qint64(ApplicationTest&)> length;
    } entries[] = {
        {"menu, 15 minutes", [](ApplicationTest& t) { Q_EMIT t.item().pauseForRequested(900); },
         [](ApplicationTest&) { return 900; }},
        {"menu, until tomorrow", [](ApplicationTest& t) { Q_EMIT t.item().pauseUntilTomorrowRequested(); },
         untilMidnight},
        {"panel, 1 hour", [&](ApplicationTest& t) { panelEntry(t, 1); },
         [](ApplicationTest&) { return 3600; }},
        {"panel, until tomorrow", [&](ApplicationTest& t) { panelEntry(t, 2); }, untilMidnight},
        {"bus PauseUntilTomorrow", [](ApplicationTest& t) { t.callControl(u"PauseUntilTomorrow"_s); },
         untilMidnight},
    };
    start();
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        const QDateTime end = m_clock.now().addSecs(entry.length(*this));
        entry.pause(*this);
        EXPECT_EQ(label(), pauseSign() + formatDuration((entry.length(*this) + 59) / 60 * 60, false));
        m_clock.set(end.addSecs(-2));
        tick();
        EXPECT_EQ(label(), pauseSign() + u"1m"_s);
        const qsizetype told = notifications().log().count(u"add com.lumatick.pauseEnded"_s);
        tick();
        EXPECT_FALSE(m_app->screenTimeManager()->isPaused());
        EXPECT_FALSE(label().startsWith(pauseSign()));
        EXPECT_EQ(notifications().log().count(u"add com.lumatick.pauseEnded"_s), told + 1);
    }
    // The end is kept across a restart; Resume ends the pause early, for good.
    Q_EMIT item().pauseForRequested(3600);
    stop();
    start();
    EXPECT_EQ(label(), pauseSign() + u"1h 00m"_s);
    Q_EMIT item().pauseToggleRequested();
    stop();
    start();
    EXPECT_FALSE(m_app->screenTimeManager()->isPaused());
    // An end that passed while Lumatick was not running: counting on start.
    Q_EMIT item().pauseForRequested(900);
    stop();
    m_clock.advance(901);
    start();
    EXPECT_FALSE(m_app->screenTimeManager()->isPaused());
    // A plain pause asked for during a timed one has no end.
    Q_EMIT item().pauseForRequested(900);
    callControl(u"Pause"_s);
    m_clock.advance(900);
    tick();
    EXPECT_TRUE(m_app->screenTimeManager()->isPaused());
}

TEST_F(ApplicationTest, statusBarsReadTodayOverTheBusAndHearEachChangeOnce)
{
    openStore()->saveDayTotal(firstDay.startOfDay(), 4 * 3600 + 37 * 60 + 12);
    const QString properties = u"org.freedesktop.DBus.Properties"_s;
    PropertiesChangedRecorder recorder;
    ASSERT_TRUE(m_bus.connect(u"client"_s)
                    .connect(QString(), ApplicationIdentity::controlObjectPath, properties,
                             u"PropertiesChanged"_s, &recorder, SLOT(record(QDBusMessage))));
    start();
    const QVariantMap all = qdbus_cast<QVariantMap>(
        callControl(u"GetAll"_s, {ApplicationIdentity::controlInterface}, properties).arguments().value(0));
    EXPECT_EQ(all, (QVariantMap{{u"AllComputersTodaySeconds"_s, qlonglong{-1}}, // sharing is off
                                {u"Counting"_s, false},                         // until the first tick
                                {u"Paused"_s, false},
                                {u"Tier"_s, u"yellow"_s},
                                {u"TodaySeconds"_s, qlonglong{16632}},
                                {u"TodayText"_s, u"4h 37m 12s"_s}}));
    const QDBusMessage set = callControl(
        u"Set"_s,
        {ApplicationIdentity::controlInterface, u"Paused"_s, QVariant::fromValue(QDBusVariant(true))},
        properties);
    EXPECT_EQ(set.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(callControl(u"Figures"_s).arguments().value(0).toStringList().mid(0, 2),
              (QStringList{u"Today: 4h 37m 12s"_s, u"Yesterday: 0s"_s}));

    // The object's arrival is announced with every figure: its name was on the bus before it.
    ASSERT_TRUE(waitUntil([&] { return recorder.changes.size() == 1; }));
    EXPECT_EQ(recorder.changes.takeFirst(), all);
    // Paused and resumed within one pass of the loop: nobody needs to hear of it. Unsubscribed,
    // the count starting or stopping is told at once (a listener adds the seconds between
    // itself) and the seconds once their minute changes; a subscriber hears each one.
    Q_EMIT item().pauseToggleRequested();
    Q_EMIT item().pauseToggleRequested();
    tick(48);
    callControl(u"Subscribe"_s);
    tick();
    Q_EMIT item().pauseToggleRequested();
    ASSERT_TRUE(waitUntil([&] { return recorder.changes.size() == 4; }));
    EXPECT_EQ(recorder.changes[0], (QVariantMap{{u"Counting"_s, true},
                                                {u"TodaySeconds"_s, qlonglong{16633}},
                                                {u"TodayText"_s, u"4h 37m 13s"_s}}));
    EXPECT_EQ(recorder.changes[1],
              (QVariantMap{{u"TodaySeconds"_s, qlonglong{16680}}, {u"TodayText"_s, u"4h 38m 00s"_s}}));
    EXPECT_EQ(recorder.changes[2].value(u"TodaySeconds"_s), qlonglong{16681});
    EXPECT_EQ(recorder.changes[3], (QVariantMap{{u"Counting"_s, false}, {u"Paused"_s, true}}));
}

TEST_F(ApplicationTest, theCommandLineTogglesThePauseAndReadsTheLiveTotal)
{
    start();
    tick(5);
    EXPECT_EQ(runLumatick({u"ctl"_s, u"toggle-pause"_s}).first, 0);
    EXPECT_EQ(label(), pauseSign() + u"5s"_s);
    EXPECT_EQ(runLumatick({u"ctl"_s, u"pause"_s, u"--for"_s, u"90s"_s}).first, 0);
    EXPECT_EQ(label(), pauseSign() + u"2m"_s) << "the time left, rounded up";
    const auto [code, out] = runLumatick({u"status"_s, u"--format"_s, u"json"_s});
    ASSERT_EQ(code, 0) << out.toStdString();
    const QJsonObject status = QJsonDocument::fromJson(out).object();
    EXPECT_EQ(status.value(u"source"_s).toString(), u"live"_s);
    EXPECT_EQ(status.value(u"today_seconds"_s).toInteger(), 5);
    EXPECT_TRUE(status.value(u"paused"_s).toBool());
    EXPECT_FALSE(status.contains(u"all_computers_today_seconds"_s));
    // Sharing turned on and off from the command line reaches the running counter at once.
    ASSERT_TRUE(QDir::home().mkpath(u"Sync"_s));
    for (const QString& share : {u"--folder=%1"_s.arg(QDir::home().filePath(u"Sync"_s)), u"--off"_s}) {
        EXPECT_EQ(runLumatick({u"share"_s, share}).first, 0);
        const QByteArray json = runLumatick({u"status"_s, u"--format"_s, u"json"_s}).second;
        EXPECT_EQ(QJsonDocument::fromJson(json).object().contains(u"all_computers_today_seconds"_s),
                  share != u"--off"_s);
    }
    // Two writers would lose days: an import waits until the application has quit.
    const QString backup = QDir::home().filePath(u"backup.csv"_s);
    ASSERT_TRUE(
        writeFile(backup, "date,total_seconds,total_formatted,goal_met\n2026-03-09,60,1m 00s,false\n"));
    const auto [refused, message] = runLumatick({u"import"_s, backup});
    EXPECT_EQ(refused, 1);
    EXPECT_TRUE(message.contains("Lumatick is running")) << message.toStdString();
}

TEST_F(ApplicationTest, aShortcutTheDesktopRefusesStillWorksInOurWindowsAndFollowsChanges)
{
    m_refuseHotKey = true;
    set(shortcutKeyCode, keyP);
    set(shortcutModifiers, controlOption);
    start();
    m_desktop->hotKey.press(keyP, controlOption);
    QCoreApplication::processEvents();
    EXPECT_EQ(label(), u"0s"_s);
    // An extra modifier makes another shortcut: passed on untouched.
    EXPECT_FALSE(typeShortcut(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    EXPECT_TRUE(typeShortcut(Qt::ControlModifier | Qt::AltModifier));
    EXPECT_EQ(label(), pauseSign() + u"0s"_s);

    // Recorded anew in the settings: the old key is let go at once.
    m_app->preferences().setValue(shortcutModifiers, qint64(ShortcutModifiers::control));
    m_app->inProcessNotifications().post(InProcessNotificationCenter::shortcutChanged);
    QCoreApplication::processEvents();
    EXPECT_FALSE(typeShortcut(Qt::ControlModifier | Qt::AltModifier));
    EXPECT_TRUE(typeShortcut(Qt::ControlModifier));
    EXPECT_EQ(label(), u"0s"_s);
}

TEST_F(ApplicationTest, breakRemindersAndSummariesComeDue)
{
    set(breakReminderMinutes, 1);
    start();
    const qsizetype atLaunch = dailySchedulings();
    const auto reminders = [this] {
        return notifications().log().count(u"add com.lumatick.breakReminder"_s);
    };
    tick(59);
    EXPECT_EQ(reminders(), 0);
    tick();
    EXPECT_EQ(reminders(), 1);

    // The summaries are renewed every 600 ticks, not before.
    tick(539);
    EXPECT_EQ(dailySchedulings(), atLaunch);
    tick();
    EXPECT_EQ(dailySchedulings(), atLaunch + 1);
    EXPECT_EQ(notifications().pendingRequest(u"com.lumatick.daily"_s)->body, u"Today: 10m"_s);

    // Changed notification settings take effect at once.
    m_app->inProcessNotifications().post(InProcessNotificationCenter::notifPrefsChanged);
    QCoreApplication::processEvents();
    EXPECT_EQ(dailySchedulings(), atLaunch + 2);

    // In the last minute before 22:00 the application's own timer renews it with today's total.
    tick(60);
    m_clock.set(QDateTime(firstDay, QTime(21, 59, 30)));
    EXPECT_TRUE(waitUntil(
        [this] { return notifications().pendingRequest(u"com.lumatick.daily"_s)->body == u"Today: 11m"_s; }));
}

TEST_F(ApplicationTest, aTimeZoneChangeMovesTheDayAndTheSummariesAtOnce)
{
    start();
    tick(60);
    // In UTC, so the clock keeps its instant when the zone changes under it.
    m_clock.set(QDateTime(firstDay, QTime(23, 30)).toUTC());
    tick();
    const qint64 beforeMidnight = m_app->screenTimeManager()->accumulatedSeconds();
    {
        SCOPED_TRACE("same day, other hour");
        ScopedTimeZone london("Europe/London");
        const qsizetype before = dailySchedulings();
        session().timeZoneChanged();
        EXPECT_EQ(dailySchedulings(), before + 1);
        EXPECT_EQ(label(), shown(beforeMidnight));
    }
    {
        SCOPED_TRACE("already tomorrow in Tokyo");
        ScopedTimeZone tokyo("Asia/Tokyo");
        session().timeZoneChanged();
        EXPECT_EQ(label(), u"0s"_s);
        EXPECT_EQ(stored(firstDay), beforeMidnight);
    }
}

TEST_F(ApplicationTest, aClickOnTheItemOpensThePanelAndTheNextClickClosesIt)
{
    start();
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()) << "no window is built before it is opened";
    QPointer<QWidget> panel = m_app->panel();
    ASSERT_TRUE(panel);
    // Yesterday's total reaches the store after the start, as from the command line's import.
    openStore()->saveDayTotal(firstDay.addDays(-1).startOfDay(), 3600);

    // Where a click opens the menu instead (GNOME): its rows are read afresh as it opens, and
    // its first entry opens the panel.
    EXPECT_EQ(item().menuFigures().value(0), u"Today: "_s + shown(0));
    Q_EMIT item().menuAboutToShow();
    EXPECT_EQ(item().menuFigures().value(1), u"Yesterday: 1h 00m 00s"_s);
    Q_EMIT item().panelRequested();
    EXPECT_TRUE(m_app->isPanelVisible());
    Q_EMIT item().panelRequested();

    // Clicked mid-bar on a bar that reserves no space, the panel clears the bar's lower half.
    Q_EMIT item().activated(QPoint(40, 12));
    ASSERT_TRUE(m_app->isPanelVisible());
    EXPECT_EQ(panel->y(), 24);
    // A tool window, not a popup, which Qt would hide from screen readers.
    EXPECT_EQ(panel->windowType(), Qt::Tool);
    EXPECT_EQ(qobject_cast<QLabel*>(panelChild(u"yesterdayValue"_s))->text(), u"1h 00m 00s"_s);
    Q_EMIT item().activated(QPoint(40, 0));
    EXPECT_FALSE(m_app->isPanelVisible());

    // A click elsewhere takes the focus and closes the panel; when that click was on the item,
    // it then arrives as an activation. Escape closes it too.
    Q_EMIT item().activated(QPoint(40, 0));
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    // The focus taken the moment the panel opens is the compositor's doing (sway's Xwayland).
    EXPECT_FALSE(waitUntil([this] { return !m_app->isPanelVisible(); }, 200));
    m_clock.advance(1);
    panel->activateWindow();
    elsewhere.activateWindow();
    ASSERT_TRUE(waitUntil([this] { return !m_app->isPanelVisible(); }));
    Q_EMIT item().activated(QPoint(40, 0));
    EXPECT_FALSE(m_app->isPanelVisible());
    m_clock.advance(1);
    Q_EMIT item().activated(QPoint(40, 0));
    QTest::keyClick(panel, Qt::Key_Escape);
    EXPECT_FALSE(m_app->isPanelVisible());
    m_clock.advance(1);
    const int screenBottom = QGuiApplication::primaryScreen()->availableGeometry().bottom() + 1;
    Q_EMIT item().activated(QPoint(40, screenBottom - 10));
    EXPECT_TRUE(m_app->isPanelVisible());
    EXPECT_EQ(panel->y() + panel->height(), screenBottom - 20) << "a bottom bar is cleared too";

    // A second start hands over: the running one toggles its panel.
    EXPECT_TRUE(SingleInstance::handOverToRunningInstance(m_bus.connect(u"client"_s)));
    EXPECT_TRUE(waitUntil([this] { return !m_app->isPanelVisible(); }));

    // The menu's and the panel's entries open the windows and close the panel.
    WindowCoordinator& windows = *m_app->windows();
    const auto panelButton = [this](const QString& name) {
        return [this, name] {
            Q_EMIT item().activated(QPoint(40, 0));
            qobject_cast<QAbstractButton*>(panelChild(name))->click();
        };
    };
    const std::pair<std::function<void()>, std::function<QWidget*()>> openings[] = {
        {[this] { Q_EMIT item().settingsRequested(); }, [&] { return windows.settingsWindow(); }},
        {[this] { Q_EMIT item().historyRequested(); }, [&] { return windows.historyWindow(); }},
        {panelButton(u"settingsButton"_s), [&] { return windows.settingsWindow(); }},
        {panelButton(u"historyButton"_s), [&] { return windows.historyWindow(); }},
        {[this] { callControl(u"OpenSettings"_s); }, [&] { return windows.settingsWindow(); }},
        {[this] { callControl(u"OpenHistory"_s); }, [&] { return windows.historyWindow(); }},
    };
    for (const auto& [open, window] : openings) {
        if (window())
            window()->close();
        // A closed window is released with its buffers, and the allocator's free pages go back.
        EXPECT_TRUE(waitUntil([&] { return !window(); }));
        open();
        ASSERT_NE(window(), nullptr);
        EXPECT_TRUE(window()->isVisible());
        EXPECT_FALSE(m_app->isPanelVisible());
    }
    EXPECT_GE(m_desktop->memoryReturns(), 4);
    // The settings are built again on the page where they were closed.
    auto* settings = static_cast<SettingsView*>(windows.settingsWindow());
    settings->selectTab(SettingsView::aboutTab);
    settings->close();
    ASSERT_TRUE(waitUntil([&] { return !windows.settingsWindow(); }));
    windows.openSettings();
    EXPECT_EQ(static_cast<SettingsView*>(windows.settingsWindow())->selectedTab(), SettingsView::aboutTab);
}

TEST_F(ApplicationTest, quittingFromTheMenuOrThePanelKeepsTodayAndWithdrawsTheSummaries)
{
    const std::function<void(ApplicationTest&)> quits[] = {
        [](ApplicationTest& t) { Q_EMIT t.item().quitRequested(); },
        [](ApplicationTest& t) { qobject_cast<QAbstractButton*>(t.panelChild(u"quitButton"_s))->click(); },
    };
    set(weeklyNotifEnabled, true);
    set(sharedTotalsFolder, QDir::home().filePath(u"Sync"_s));
    QDir::home().mkpath(u"Sync"_s);
    for (const auto& quit : quits) {
        QDir(StoreOpener::defaultDirectory()).removeRecursively();
        start();
        tick(42);
        ASSERT_EQ(notifications().pendingIdentifiers(),
                  (QStringList{u"com.lumatick.daily"_s, u"com.lumatick.weekly"_s}));
        QTimer giveUp;
        QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        giveUp.start(5s);
        QTimer::singleShot(0, [&] { quit(*this); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_EQ(stored(firstDay), 42);
        EXPECT_TRUE(readFile(QDir::home().filePath(u"Sync/Lumatick/"_s + m_preferences.value(installationId) +
                                                   u".csv"_s))
                        .endsWith("\n2026-03-10,42,42s,false\n"));
        EXPECT_TRUE(notifications().pendingIdentifiers().isEmpty());
        // Break reminders are about the next session and stay.
        EXPECT_FALSE(notifications().log().contains(u"removePending com.lumatick.breakReminder"_s));
        stop();
    }
}

TEST_F(ApplicationTest, aLaterRunShowsTheStoredTotalAndAsksBeforeSchedulingWhateverTheAnswer)
{
    set(weeklyNotifEnabled, true);
    openStore()->saveDayTotal(firstDay.startOfDay(), 3723);
    openStore()->saveDayTotal(firstDay.addDays(-7).startOfDay(), 7 * 3600);
    openStore()->saveDayTotal(firstDay.addDays(-1).startOfDay(), 1800);
    for (bool granted : {true, false}) {
        SCOPED_TRACE(granted);
        start([granted](ScenarioDesktop& desktop) {
            desktop.fakeNotifications().setAnswerToAuthorizationRequest(granted);
        });
        EXPECT_EQ(label(), u"1h 02m 03s"_s);
        EXPECT_EQ(m_app->menuBarModel()->yesterdaySeconds(), 1800);
        const QStringList& log = notifications().log();
        const qsizetype asked = log.indexOf(u"requestAuthorization"_s);
        ASSERT_GE(asked, 0);
        EXPECT_GT(log.indexOf(u"add com.lumatick.daily"_s, asked), asked);
        // The weekly summary reads last week from the store.
        EXPECT_TRUE(notifications()
                        .pendingRequest(u"com.lumatick.weekly"_s)
                        ->body.endsWith(u"Last week avg: 1h 00m/day"_s))
            << notifications().pendingRequest(u"com.lumatick.weekly"_s)->body.toStdString();
        stop();
    }
}

TEST_F(ApplicationTest, aFirstRunShowsTheOnboardingThenTheSettingsAndAsksOnlyThen)
{
    set(onboardingShown, false);
    start();
    WindowCoordinator& windows = *m_app->windows();
    EXPECT_EQ(windows.onboardingWindow(), nullptr);
    ASSERT_TRUE(
        waitUntil([&] { return windows.onboardingWindow() && windows.onboardingWindow()->isVisible(); }));
    EXPECT_FALSE(notifications().log().contains(u"requestAuthorization"_s));
    EXPECT_EQ(dailySchedulings(), 0);

    m_app->completeOnboarding();
    EXPECT_TRUE(m_app->preferences().value(onboardingShown));
    EXPECT_TRUE(notifications().log().contains(u"requestAuthorization"_s));
    EXPECT_EQ(dailySchedulings(), 1);
    EXPECT_EQ(windows.onboardingWindow(), nullptr);
    ASSERT_NE(windows.settingsWindow(), nullptr);
    EXPECT_TRUE(windows.settingsWindow()->isVisible());
}

TEST_F(ApplicationTest, launchAtLoginFollowsThePreferenceOrThePreferenceFollowsTheFailure)
{
    // The registered default is on, so a first launch registers the item.
    start();
    EXPECT_TRUE(m_desktop->fakeLoginItem().isEnabled());
    stop();
    start([](ScenarioDesktop& desktop) { desktop.fakeLoginItem().setFailing(true); });
    EXPECT_EQ(m_desktop->fakeLoginItem().calls(), QStringList{u"enable"_s});
    EXPECT_FALSE(m_app->preferences().value(launchAtLogin));
}

TEST_F(ApplicationTest, withoutAnyHostTheUserIsToldOnceAndThePanelBecomesAWindow)
{
    start([](ScenarioDesktop& desktop) {
        desktop.hostShowsItem = false;
        desktop.setEnvironment({u"ubuntu:GNOME"_s, {}, {}});
    });
    const auto told = [this] {
        return std::count_if(notifications().delivered().begin(), notifications().delivered().end(),
                             [](const NotificationRequest& request) {
                                 return request.identifier == u"com.lumatick.noStatusItem"_s;
                             });
    };
    // The offscreen platform has no tray either, so nothing can show the item.
    ASSERT_TRUE(waitUntil([&] { return told() == 1; }));
    EXPECT_EQ(m_app->panel()->windowType(), Qt::Window);
    EXPECT_TRUE(notifications().delivered().constLast().body.contains(
        u"gnome-extensions enable lumatick@brightlet.com"_s));
    // The host appears (the panel restarted) and goes again: not told twice.
    item().setShown(true);
    EXPECT_EQ(m_app->panel()->windowType(), Qt::Tool);
    item().setShown(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(told(), 1);
}

TEST_F(ApplicationTest, whileOurShellExtensionShowsTheCounterNoTrayItemShowsItAgain)
{
    const auto extension = [this] { return m_bus.connect(u"extension"_s); };
    ASSERT_TRUE(extension().registerService(ApplicationIdentity::shellExtensionBusName));
    start();
    EXPECT_EQ(m_desktop->item, nullptr) << "none at start";
    tick(3);
    // The shell quits: the item comes back at once with the current count.
    QDBusConnection::disconnectFromBus(u"extension"_s);
    ASSERT_TRUE(waitUntil([&] { return m_desktop->item != nullptr; }));
    EXPECT_EQ(label(), shown(3));
    ASSERT_TRUE(extension().registerService(ApplicationIdentity::shellExtensionBusName));
    EXPECT_TRUE(waitUntil([&] { return m_desktop->item == nullptr; }));
    QDBusConnection::disconnectFromBus(u"extension"_s);
}

TEST_F(ApplicationTest, aPanelThatShowsOnlyIconsGetsTheTimeInTheIcon)
{
    // The panel is still starting: it has not shown the item yet, but its kind is known.
    start([](ScenarioDesktop& desktop) {
        desktop.hostShowsItem = false;
        desktop.hostShowsIconsOnly = true;
    });
    const auto iconChangesWithinAMinute = [this] {
        const QImage before = item().icon();
        tick(60);
        return item().icon() != before;
    };
    EXPECT_TRUE(iconChangesWithinAMinute());
    EXPECT_EQ(label(), QString());
    // A panel that shows labels takes over: the label carries the time and the icon stays.
    item().iconsOnly = false;
    item().setShown(true);
    EXPECT_FALSE(iconChangesWithinAMinute());
    // A panel we cannot tell: the user puts the time into the icon in the settings.
    m_app->openSettings();
    m_app->windows()->settingsWindow()->findChild<QComboBox*>(u"timePlacementPicker"_s)->setCurrentIndex(2);
    EXPECT_TRUE(iconChangesWithinAMinute());
    EXPECT_EQ(label(), QString());
    const QImage counting = item().icon();
    m_app->togglePause();
    EXPECT_NE(item().icon(), counting) << "paused shows in the icon itself";
}

// A copy installed from an installer image asks the desktop's disk-image utility for the
// attached images; quitting cuts the clean-up's wait short, so the question comes at the latest
// then.
TEST_F(ApplicationTest, aCopyInstalledFromAnImageAsksTheDiskImageUtilityAboutIt)
{
    QTemporaryDir tools;
    const QString utility = tools.filePath(u"utility"_s);
    ASSERT_TRUE(
        writeFile(utility, "#!/bin/sh\necho \"$*\" >> '" + tools.filePath(u"calls.log"_s).toUtf8() + "'\n"));
    QFile::setPermissions(utility, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    start([&](ScenarioDesktop& desktop) {
        desktop.setEnvironment({{}, QDir::homePath() + u"/Applications/Lumatick.AppImage"_s, utility});
    });
    stop();
    EXPECT_EQ(readFile(tools.filePath(u"calls.log"_s)), QByteArray("info -plist\n"));
}

// Two starts racing past the hand-over: the one that finds the bus name taken leaves before it
// opens the store, so the store never has two writers.
TEST_F(ApplicationTest, aStartThatLosesTheBusNameNeverOpensTheStore)
{
    QDBusConnection winner = m_bus.connect(u"winner"_s);
    ASSERT_EQ(winner.interface()->registerService(ApplicationIdentity::busName).value(),
              QDBusConnectionInterface::ServiceRegistered);
    Application loser(Application::Options{m_bus.connect(u"loser"_s),
                                           [] { return std::make_unique<FakeDesktopServices>(); }});
    EXPECT_EQ(loser.start(), Application::StartResult::anotherInstanceRunning);
    EXPECT_FALSE(QFileInfo::exists(StoreOpener::defaultDirectory() + u"/default.store"_s));
    QDBusConnection::disconnectFromBus(u"winner"_s);
    QDBusConnection::disconnectFromBus(u"loser"_s);
}

// Answers every call on its path and keeps the names of the methods called.
class AnsweringObject : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls.append(message.member());
        return connection.send(message.createReply());
    }
    QStringList calls;
};

// A second start right after the first finds the bus name before the control object exists:
// its call waits for the object rather than failing, though not for ever.
TEST(ControlClientTest, aCallBeforeTheControlObjectExistsWaitsForItButNotForEver)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection instance = bus.connect(u"instance"_s);
    ASSERT_TRUE(instance.registerService(ApplicationIdentity::busName));
    const ControlClient client(bus.connect(u"client"_s));
    EXPECT_TRUE(client.call(u"ShowPanel"_s).contains(u"No such object"_s)) << "nothing ever answers";

    AnsweringObject object;
    QTimer::singleShot(
        300, [&] { instance.registerVirtualObject(ApplicationIdentity::controlObjectPath, &object); });
    EXPECT_EQ(client.call(u"ShowPanel"_s), QString());
    EXPECT_EQ(object.calls, QStringList{u"ShowPanel"_s});
}

} // namespace

#include "ApplicationTest.moc"
