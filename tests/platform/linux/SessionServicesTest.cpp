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
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString sessionPath = u"/org/freedesktop/login1/session/c2"_s;
const QString autoPath = u"/org/freedesktop/login1/session/auto"_s;
const DBusMock::Service logind{u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                               u"org.freedesktop.login1.Manager"_s};
const DBusMock::Service gnomeScreenSaver{u"org.gnome.ScreenSaver"_s, u"/org/gnome/ScreenSaver"_s,
                                         u"org.gnome.ScreenSaver"_s};
const DBusMock::Service screenSaver{u"org.freedesktop.ScreenSaver"_s, u"/ScreenSaver"_s,
                                    u"org.freedesktop.ScreenSaver"_s};
const DBusMock::Service mutter{u"org.gnome.Mutter.IdleMonitor"_s, u"/org/gnome/Mutter/IdleMonitor/Core"_s,
                               u"org.gnome.Mutter.IdleMonitor"_s};
const QDateTime tenOClock(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);

// A session bus and a system bus of the test's own; each test starts the services it needs.
class SessionServicesTest : public testing::Test {
protected:
    // A bare service answering method (if given) with the Python code.
    std::unique_ptr<DBusMock> start(PrivateBus& bus, const DBusMock::Service& service,
                                    const QString& method = {}, const QString& out = {},
                                    const QString& code = {})
    {
        auto mock = std::make_unique<DBusMock>(bus, service);
        EXPECT_TRUE(mock->isRunning());
        if (!method.isEmpty())
            mock->addMethod(method, out, code);
        return mock;
    }

    // logind with our session, also reachable through the alias whose signals are never ours.
    void startLogind()
    {
        m_logind = std::make_unique<DBusMock>(m_system, logind, u"logind"_s);
        ASSERT_TRUE(m_logind->isRunning());
        m_logind->call(u"AddSession"_s, {u"c2"_s, u"seat0"_s, 1000u, u"user"_s, true});
        m_logind->addMethod(
            u"AddAuto"_s, {},
            u"self.AddObject('%1', 'org.freedesktop.login1.Session', {'Id': 'c2'}, [])"_s.arg(autoPath));
        m_logind->call(u"AddAuto"_s, {}, logind.interface);
        // "what|who|why|mode" of each inhibitor held (the template keeps them in a global).
        m_logind->addMethod(u"Inhibitors"_s, u"as"_s,
                            u"ret = ['|'.join(i[:4]) for i in globals().get('inhibitors', [])]"_s);
    }

    QStringList inhibitors() const
    {
        return m_logind->call(u"Inhibitors"_s, {}, logind.interface).arguments().value(0).toStringList();
    }

    // A round trip on each of our connections, so their match rules are in place.
    void sync() const
    {
        for (const QDBusConnection& bus : {m_appSession, m_appSystem})
            bus.interface()->isServiceRegistered(u"org.freedesktop.DBus"_s);
    }

    PrivateBus m_session;
    PrivateBus m_system;
    QDBusConnection m_appSession = m_session.connect(u"app-session"_s);
    QDBusConnection m_appSystem = m_system.connect(u"app-system"_s);
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
    EXPECT_EQ(inhibitors(), QStringList{u"sleep|Lumatick|Saving today's screen time|delay"_s});
    std::optional<qsizetype> heldWhileSaving;
    QObject::connect(
        &m_events, &SessionEvents::machineWillSleep, &m_events,
        [&] { heldWhileSaving = inhibitors().size(); }, Qt::DirectConnection);
    QSignalSpy woke(&m_events, &SessionEvents::machineDidWake);

    m_logind->emitSignal(logind.interface, u"PrepareForSleep"_s, u"b"_s, {true});
    ASSERT_TRUE(waitUntil([&] { return heldWhileSaving.has_value(); }));
    EXPECT_EQ(heldWhileSaving, 1);
    EXPECT_TRUE(waitUntil([&] { return inhibitors().isEmpty(); }));
    EXPECT_EQ(woke.count(), 0);
    m_logind->emitSignal(logind.interface, u"PrepareForSleep"_s, u"b"_s, {false});
    EXPECT_TRUE(waitUntil([&] { return woke.count() == 1 && inhibitors().size() == 1; }));
}

// Without logind, sleep goes unnoticed (said once) and the screen saver alone still locks.
// With it, one state from every source, the latest report winning: a lock already in effect
// counts at start, the alias path of the session is not ours, a second source's lock adds nothing.
TEST_F(SessionServicesTest, lockFollowsLogindAndTheScreenSaversAsOneState)
{
    {
        const auto saver = start(m_session, screenSaver);
        LogCapture log;
        LogindSleepMonitor sleep(m_appSystem, m_events);
        LogindLockMonitor lock(m_appSystem, m_appSession, m_events);
        EXPECT_FALSE(sleep.start());
        lock.start();
        sync();
        EXPECT_EQ(log.count(QtWarningMsg,
                            u"logind is not on the system bus; machine sleep and wake will go unnoticed"_s),
                  1);
        saver->emitSignal(screenSaver.interface, u"ActiveChanged"_s, u"b"_s, {true});
        ASSERT_TRUE(waitUntil([&] { return m_locked.count() == 1; }));
    }
    startLogind();
    m_logind->updateProperties({{u"LockedHint"_s, true}}, sessionPath);
    const DBusMock gnome(m_session, gnomeScreenSaver, u"gnome_screensaver"_s);
    LogindLockMonitor monitor(m_appSystem, m_appSession, m_events);
    monitor.start();
    sync();
    EXPECT_EQ(m_locked.count(), 2);
    EXPECT_EQ(monitor.sessionPath(), sessionPath);

    m_logind->updateProperties({{u"LockedHint"_s, false}}, autoPath);
    gnome.call(u"SetActive"_s, {true}, gnomeScreenSaver.interface);
    m_logind->updateProperties({{u"LockedHint"_s, false}}, sessionPath);
    ASSERT_TRUE(waitUntil([&] { return m_unlocked.count() == 1; }));
    gnome.call(u"SetActive"_s, {false}, gnomeScreenSaver.interface);
    EXPECT_FALSE(waitUntil([&] { return m_locked.count() + m_unlocked.count() > 3; }, 300));
    EXPECT_FALSE(monitor.isLocked());
}

// Mutter, then a Wayland or X11 source that answers, then the screen saver, then logind; none
// is said once. Every service, in its own unit, comes out in seconds; a service that goes away
// answers nothing, at once, instead of holding up the tick.
TEST_F(SessionServicesTest, idleSourceIsChosenInOrderAndEachAnswersInSecondsUntilGone)
{
    FakeIdleTimeSource wayland(m_clock.clock());
    wayland.setLastInput(tenOClock);
    FakeIdleTimeSource silent(m_clock.clock());
    silent.setAnswers(false);
    const auto choose = [&](IdleTimeSourceSelector::Prebuilt prebuilt) {
        return IdleTimeSourceSelector({m_appSession, m_appSystem}, prebuilt, m_clock.clock()).name();
    };
    LogCapture log;
    EXPECT_TRUE(choose({}).isEmpty());
    EXPECT_EQ(log.count(QtWarningMsg,
                        u"No idle-time service answered, so screen time will count whenever the "
                        "screen is awake and unlocked, even while nobody is at the machine."_s),
              1);
    startLogind();
    const qulonglong idleSince = static_cast<qulonglong>(tenOClock.toMSecsSinceEpoch() - 90'500) * 1000;
    m_logind->updateProperties({{u"IdleHint"_s, true}, {u"IdleSinceHint"_s, idleSince}}, sessionPath);
    // KDE on Wayland refuses the call: the screen saver is then no source.
    const auto kde = start(m_session, screenSaver, u"GetSessionIdleTime"_s, u"u"_s,
                           u"raise dbus.exceptions.DBusException('not supported on this platform', "
                           "name='org.freedesktop.DBus.Error.NotSupported')"_s);
    EXPECT_EQ(choose({}), u"logind IdleHint"_s);
    kde->addMethod(u"GetSessionIdleTime"_s, u"u"_s, u"ret = dbus.UInt32(61250)"_s);
    EXPECT_EQ(choose({nullptr, &silent}), u"ScreenSaver GetSessionIdleTime"_s);
    EXPECT_EQ(choose({&wayland, nullptr}), u"fake"_s);
    const auto gnome = start(m_session, mutter, u"GetIdletime"_s, u"t"_s, u"ret = dbus.UInt64(1500)"_s);
    EXPECT_EQ(choose({&wayland, nullptr}), u"Mutter IdleMonitor"_s);

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

// Mutter's PowerSaveMode: 1 to 3 are asleep, 0 awake, -1 unknown (keeps the last state).
TEST_F(SessionServicesTest, displaySleepFollowsMutterPowerSaveMode)
{
    EXPECT_FALSE(GnomeDisplaySleepMonitor(m_appSession, m_events).start());
    const auto config =
        start(m_session, {u"org.gnome.Mutter.DisplayConfig"_s, u"/org/gnome/Mutter/DisplayConfig"_s,
                          u"org.gnome.Mutter.DisplayConfig"_s});
    config->call(u"AddProperty"_s, {QString(), u"PowerSaveMode"_s, QVariant::fromValue(QDBusVariant(3))});
    QSignalSpy slept(&m_events, &SessionEvents::screensDidSleep);
    QSignalSpy woke(&m_events, &SessionEvents::screensDidWake);
    GnomeDisplaySleepMonitor monitor(m_appSession, m_events);
    ASSERT_TRUE(monitor.start());
    sync();
    EXPECT_EQ(slept.count(), 1);

    for (int mode : {2, -1, 0, -1, 1, 3, 0})
        config->updateProperties({{u"PowerSaveMode"_s, mode}});
    ASSERT_TRUE(waitUntil([&] { return slept.count() == 2 && woke.count() == 2; }));
    EXPECT_FALSE(waitUntil([&] { return slept.count() + woke.count() > 4; }, 300));
}

// Through timedated or by a new zone file (replaced by a rename, as tools do), once per change;
// a touch that leaves the zone as it was is no change.
TEST_F(SessionServicesTest, timeZoneChangeIsToldOnceWhicheverWayItCame)
{
    QTemporaryDir etc;
    const QString zoneFile = etc.filePath(u"localtime"_s);
    const auto writeZone = [&](const QByteArray& zone) {
        QSaveFile file(zoneFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(zone);
        ASSERT_TRUE(file.commit());
    };
    writeZone("Europe/Berlin");
    const DBusMock timedated(
        m_system,
        {u"org.freedesktop.timedate1"_s, u"/org/freedesktop/timedate1"_s, u"org.freedesktop.timedate1"_s},
        u"timedated"_s);
    QSignalSpy changed(&m_events, &SessionEvents::timeZoneChanged);
    TimeZoneMonitor monitor(m_appSystem, m_events, zoneFile);
    monitor.start();
    sync();

    timedated.call(u"SetTimezone"_s, {u"Asia/Tokyo"_s, false}, u"org.freedesktop.timedate1"_s);
    writeZone("Asia/Tokyo");
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 1; }));
    writeZone("Asia/Tokyo");
    EXPECT_FALSE(waitUntil([&] { return changed.count() > 1; }, 500));
    writeZone("America/Santiago");
    EXPECT_TRUE(waitUntil([&] { return changed.count() == 2; }));
}

} // namespace
