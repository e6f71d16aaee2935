#include "GnomeDisplaySleepMonitor.h"
#include "IdleTimeSourceSelector.h"
#include "LogindIdleTimeSource.h"
#include "LogindLockMonitor.h"
#include "LogindSleepMonitor.h"
#include "MutterIdleTimeSource.h"
#include "ScreenSaverIdleTimeSource.h"
#include "SessionEvents.h"
#include "TimeZoneMonitor.h"

#include "DBusMock.h"
#include "FakeClock.h"
#include "FakeIdleTimeSource.h"
#include "LogCapture.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "WaitUntil.h"

#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString category = QStringLiteral("com.brightlet.Lumatick.Session");
const QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/c2");
const QString autoPath = QStringLiteral("/org/freedesktop/login1/session/auto");
// Most desktop services name their interface after themselves.
DBusMock::Service service(const char* name, const char* path, const char* interface = nullptr)
{
    return {QString::fromLatin1(name), QString::fromLatin1(path),
            QString::fromLatin1(interface ? interface : name)};
}

const DBusMock::Service logind =
    service("org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager");
const DBusMock::Service gnomeScreenSaver = service("org.gnome.ScreenSaver", "/org/gnome/ScreenSaver");
const DBusMock::Service screenSaver = service("org.freedesktop.ScreenSaver", "/ScreenSaver");
const DBusMock::Service mutter =
    service("org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core");
const DBusMock::Service displayConfig =
    service("org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig");
const DBusMock::Service timedate = service("org.freedesktop.timedate1", "/org/freedesktop/timedate1");
const QDateTime tenOClock(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);

// A session bus and a system bus of the test's own; each test starts the services it needs.
class SessionServicesTest : public testing::Test {
protected:
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("app-session"));
        QDBusConnection::disconnectFromBus(QStringLiteral("app-system"));
    }

    std::unique_ptr<DBusMock> start(PrivateBus& bus, const DBusMock::Service& service,
                                    const QString& method = {}, const QString& out = {},
                                    const QString& code = {})
    {
        auto mock = std::make_unique<DBusMock>(bus, service);
        EXPECT_TRUE(mock->isRunning());
        if (!method.isEmpty())
            mock->addMethod(method, QString(), out, code);
        return mock;
    }

    // logind with our session, found through the alias whose signals are never ours.
    void startLogind()
    {
        m_logind = std::make_unique<DBusMock>(m_system, QStringLiteral("logind"), logind);
        ASSERT_TRUE(m_logind->isRunning());
        m_logind->call(QStringLiteral("AddSession"),
                       {QStringLiteral("c2"), QStringLiteral("seat0"), 1000u, QStringLiteral("user"), true});
        m_logind->addMethod(QStringLiteral("AddAuto"), {}, {},
                            QStringLiteral("self.AddObject('") + autoPath +
                                QStringLiteral("', 'org.freedesktop.login1.Session', {'Id': 'c2'}, [])"));
        m_logind->call(QStringLiteral("AddAuto"), {}, logind.interface);
        m_logind->addMethod(
            QStringLiteral("Inhibitors"), {}, QStringLiteral("as"),
            QStringLiteral("ret = ['|'.join(i[:4]) for i in globals().get('inhibitors', [])]"));
    }

    // "what who why mode" of each inhibitor logind holds (its template keeps them in a global).
    QStringList inhibitors() const
    {
        return m_logind->call(QStringLiteral("Inhibitors"), {}, logind.interface)
            .arguments()
            .value(0)
            .toStringList();
    }

    // A round trip on each of our connections, so their match rules are in place.
    void sync() const
    {
        m_appSession.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
        m_appSystem.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
    }

    PrivateBus m_session;
    PrivateBus m_system;
    QDBusConnection m_appSession = m_session.connect(QStringLiteral("app-session"));
    QDBusConnection m_appSystem = m_system.connect(QStringLiteral("app-system"));
    std::unique_ptr<DBusMock> m_logind;
    SessionEvents m_events;
    QSignalSpy m_locked{&m_events, &SessionEvents::screenLocked};
    QSignalSpy m_unlocked{&m_events, &SessionEvents::screenUnlocked};
    FakeClock m_clock{tenOClock};
};

TEST_F(SessionServicesTest, sleepWaitsForTheSaveAndIsHeldOffAgainAfterWake)
{
    startLogind();
    LogindSleepMonitor monitor(m_appSystem, m_events);
    ASSERT_TRUE(monitor.start());
    sync();
    ASSERT_TRUE(waitUntil([&] { return inhibitors().size() == 1; }));
    EXPECT_EQ(inhibitors(), QStringList{QStringLiteral("sleep|Lumatick|Saving today's screen time|delay")});
    std::optional<qsizetype> heldWhileSaving;
    QObject::connect(
        &m_events, &SessionEvents::machineWillSleep, &m_events,
        [&] { heldWhileSaving = inhibitors().size(); }, Qt::DirectConnection);
    QSignalSpy woke(&m_events, &SessionEvents::machineDidWake);

    m_logind->emitSignal(logind.interface, QStringLiteral("PrepareForSleep"), QStringLiteral("b"), {true});
    ASSERT_TRUE(waitUntil([&] { return heldWhileSaving.has_value(); }));
    EXPECT_EQ(heldWhileSaving, 1);
    EXPECT_TRUE(waitUntil([&] { return inhibitors().isEmpty(); }));
    EXPECT_EQ(woke.count(), 0);

    m_logind->emitSignal(logind.interface, QStringLiteral("PrepareForSleep"), QStringLiteral("b"), {false});
    EXPECT_TRUE(waitUntil([&] { return woke.count() == 1 && inhibitors().size() == 1; }));
}

TEST_F(SessionServicesTest, withoutLogindSleepGoesUnnoticedAndTheScreenSaverStillLocks)
{
    const auto saver = start(m_session, screenSaver);
    LogCapture log;
    LogindSleepMonitor sleep(m_appSystem, m_events);
    LogindLockMonitor lock(m_appSystem, m_appSession, m_events);
    EXPECT_FALSE(sleep.start());
    lock.start();
    sync();
    EXPECT_EQ(log.count(QtWarningMsg, category,
                        QStringLiteral(
                            "logind is not on the system bus; machine sleep and wake will go unnoticed")),
              1);
    saver->emitSignal(screenSaver.interface, QStringLiteral("ActiveChanged"), QStringLiteral("b"), {true});
    EXPECT_TRUE(waitUntil([&] { return m_locked.count() == 1; }));
}

// One state from every source, the latest report winning: a lock already in effect counts at
// start, the alias path of the session is not ours, a second source's lock adds nothing.
TEST_F(SessionServicesTest, lockFollowsLogindAndTheScreenSaverAsOneState)
{
    startLogind();
    m_logind->updateProperties({{QStringLiteral("LockedHint"), true}}, sessionPath);
    const auto gnome =
        std::make_unique<DBusMock>(m_session, QStringLiteral("gnome_screensaver"), gnomeScreenSaver);
    LogindLockMonitor monitor(m_appSystem, m_appSession, m_events);
    monitor.start();
    sync();
    EXPECT_EQ(m_locked.count(), 1);
    EXPECT_EQ(monitor.sessionPath(), sessionPath);

    m_logind->updateProperties({{QStringLiteral("LockedHint"), false}}, autoPath);
    gnome->call(QStringLiteral("SetActive"), {true}, gnomeScreenSaver.interface);
    m_logind->updateProperties({{QStringLiteral("LockedHint"), false}}, sessionPath);
    ASSERT_TRUE(waitUntil([&] { return m_unlocked.count() == 1; }));
    gnome->call(QStringLiteral("SetActive"), {false}, gnomeScreenSaver.interface);
    EXPECT_FALSE(waitUntil([&] { return m_locked.count() + m_unlocked.count() > 2; }, 300));
    EXPECT_FALSE(monitor.isLocked());
}

// Every idle-time service, in its own unit, comes out in seconds; a service that goes away
// answers nothing, at once, instead of holding up the tick.
TEST_F(SessionServicesTest, eachIdleServiceAnswersInSecondsAndNothingOnceGone)
{
    startLogind();
    const qulonglong idleSince = static_cast<qulonglong>(tenOClock.toMSecsSinceEpoch() - 90'500) * 1000;
    m_logind->updateProperties(
        {{QStringLiteral("IdleHint"), true}, {QStringLiteral("IdleSinceHint"), idleSince}}, sessionPath);
    auto gnome = start(m_session, mutter, QStringLiteral("GetIdletime"), QStringLiteral("t"),
                       QStringLiteral("ret = dbus.UInt64(1500)"));
    auto kde = start(m_session, screenSaver, QStringLiteral("GetSessionIdleTime"), QStringLiteral("u"),
                     QStringLiteral("ret = dbus.UInt32(61250)"));
    MutterIdleTimeSource fromMutter(m_appSession);
    ScreenSaverIdleTimeSource fromScreenSaver(m_appSession);
    LogindIdleTimeSource fromLogind(m_appSystem, sessionPath, m_clock.clock());
    const std::vector<std::tuple<IdleTimeSource*, DBusMock*, double>> cases{
        {&fromMutter, gnome.get(), 1.5},
        {&fromScreenSaver, kde.get(), 61.25},
        {&fromLogind, m_logind.get(), 90.5}};
    for (const auto& [source, service, seconds] : cases) {
        SCOPED_TRACE(source->name().toStdString());
        EXPECT_EQ(source->secondsSinceLastInput(), seconds);
        service->stop();
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(source->secondsSinceLastInput(), std::nullopt);
        EXPECT_LT(elapsed.elapsed(), 500);
    }
}

// Mutter, then a Wayland or X11 source that answers, then the screen saver, then logind.
TEST_F(SessionServicesTest, idleSourceIsChosenInOrderAndNoneIsSaidOnce)
{
    FakeIdleTimeSource wayland(m_clock.clock());
    wayland.setLastInput(tenOClock);
    FakeIdleTimeSource silent(m_clock.clock());
    silent.setAnswers(false);
    const auto choose = [&](IdleTimeSourceSelector::Prebuilt prebuilt) {
        return IdleTimeSourceSelector({m_appSession, m_appSystem}, prebuilt, m_clock.clock()).chosenName();
    };
    LogCapture log;
    EXPECT_TRUE(choose({}).isEmpty());
    EXPECT_EQ(
        log.count(QtWarningMsg, category,
                  QStringLiteral("No idle-time service answered, so screen time will count whenever the "
                                 "screen is awake and unlocked, even while nobody is at the machine.")),
        1);
    startLogind();
    // KDE on Wayland refuses the call: the screen saver is then no source.
    const auto kde =
        start(m_session, screenSaver, QStringLiteral("GetSessionIdleTime"), QStringLiteral("u"),
              QStringLiteral("raise dbus.exceptions.DBusException('not supported on this platform', "
                             "name='org.freedesktop.DBus.Error.NotSupported')"));
    EXPECT_EQ(choose({}), QStringLiteral("logind IdleHint"));
    kde->addMethod(QStringLiteral("GetSessionIdleTime"), {}, QStringLiteral("u"),
                   QStringLiteral("ret = dbus.UInt32(0)"));
    EXPECT_EQ(choose({nullptr, &silent}), QStringLiteral("ScreenSaver GetSessionIdleTime"));
    EXPECT_EQ(choose({&wayland, nullptr}), QStringLiteral("fake"));
    const auto gnome = start(m_session, mutter, QStringLiteral("GetIdletime"), QStringLiteral("t"),
                             QStringLiteral("ret = dbus.UInt64(0)"));
    EXPECT_EQ(choose({&wayland, nullptr}), QStringLiteral("Mutter IdleMonitor"));
}

// Mutter's PowerSaveMode: 1 to 3 are asleep, 0 awake, -1 unknown (keeps the last state).
TEST_F(SessionServicesTest, displaySleepFollowsMutterPowerSaveMode)
{
    GnomeDisplaySleepMonitor absent(m_appSession, m_events);
    EXPECT_FALSE(absent.start());
    const auto mutterConfig = start(m_session, displayConfig);
    mutterConfig->addProperty(QStringLiteral("PowerSaveMode"), 3);
    QSignalSpy slept(&m_events, &SessionEvents::screensDidSleep);
    QSignalSpy woke(&m_events, &SessionEvents::screensDidWake);
    GnomeDisplaySleepMonitor monitor(m_appSession, m_events);
    ASSERT_TRUE(monitor.start());
    sync();
    EXPECT_EQ(slept.count(), 1);

    for (int mode : {2, -1, 0, -1, 1, 3, 0})
        mutterConfig->updateProperties({{QStringLiteral("PowerSaveMode"), mode}});
    ASSERT_TRUE(waitUntil([&] { return slept.count() == 2 && woke.count() == 2; }));
    EXPECT_FALSE(waitUntil([&] { return slept.count() + woke.count() > 4; }, 300));
}

// Through timedated or by a new zone file (replaced by a rename, as tools do), once per change;
// a touch that leaves the zone as it was is no change.
TEST_F(SessionServicesTest, timeZoneChangeIsToldOnceWhicheverWayItCame)
{
    QTemporaryDir etc;
    const QString zoneFile = etc.filePath(QStringLiteral("localtime"));
    const auto writeZone = [&](const QByteArray& zone) {
        QSaveFile file(zoneFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(zone);
        ASSERT_TRUE(file.commit());
    };
    writeZone("Europe/Berlin");
    const auto timedated = std::make_unique<DBusMock>(m_system, QStringLiteral("timedated"), timedate);
    QSignalSpy changed(&m_events, &SessionEvents::timeZoneChanged);
    TimeZoneMonitor monitor(m_appSystem, m_events, zoneFile);
    monitor.start();
    sync();

    timedated->call(QStringLiteral("SetTimezone"), {QStringLiteral("Asia/Tokyo"), false}, timedate.interface);
    writeZone("Asia/Tokyo");
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 1; }));
    writeZone("Asia/Tokyo");
    EXPECT_FALSE(waitUntil([&] { return changed.count() > 1; }, 500));
    writeZone("America/Santiago");
    EXPECT_TRUE(waitUntil([&] { return changed.count() == 2; }));
}

} // namespace
