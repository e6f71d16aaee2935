#include "LogindLockMonitor.h"

#include "FakeDesktop.h"
#include "LogCapture.h"
#include "QtPrinters.h"
#include "SessionEvents.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString freedesktopScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString gnomeScreenSaver = QStringLiteral("org.gnome.ScreenSaver");

class LogindLockMonitorTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_desktop.isRunning()); }

    void start()
    {
        m_monitor.start();
        m_desktop.syncWithBuses();
    }

    // Lets every signal already sent arrive, so "nothing more happened" can be asserted.
    void settle() { ASSERT_TRUE(m_desktop.flushSignals()); }

    FakeDesktop m_desktop;
    SessionEvents m_events;
    LogindLockMonitor m_monitor{m_desktop.appSystem(), m_desktop.appSession(), m_events};
    QSignalSpy m_locked{&m_events, &SessionEvents::screenLocked};
    QSignalSpy m_unlocked{&m_events, &SessionEvents::screenUnlocked};
};

TEST_F(LogindLockMonitorTest, findsTheRealSessionPathThroughTheAutoSession)
{
    m_desktop.startLogind();
    start();

    EXPECT_EQ(m_monitor.sessionPath(), QStringLiteral("/org/freedesktop/login1/session/_32"));
    EXPECT_FALSE(m_monitor.isLocked());
    EXPECT_EQ(m_locked.count(), 0);
}

TEST_F(LogindLockMonitorTest, lockedHintChangesLockAndUnlock)
{
    m_desktop.startLogind();
    start();

    m_desktop.logindSession().setLockedHint(true);
    m_desktop.sendLockedHint(true);
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_locked.count() == 1; }));
    EXPECT_TRUE(m_monitor.isLocked());
    EXPECT_EQ(m_unlocked.count(), 0);

    m_desktop.logindSession().setLockedHint(false);
    m_desktop.sendLockedHint(false);
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_unlocked.count() == 1; }));
    EXPECT_FALSE(m_monitor.isLocked());
    EXPECT_EQ(m_locked.count(), 1);
}

TEST_F(LogindLockMonitorTest, lockedAtStartIsReportedAtStart)
{
    m_desktop.startLogind();
    m_desktop.logindSession().setLockedHint(true);

    start();

    EXPECT_EQ(m_locked.count(), 1);
    EXPECT_TRUE(m_monitor.isLocked());
}

TEST_F(LogindLockMonitorTest, invalidatedLockedHintIsFetched)
{
    m_desktop.startLogind();
    start();

    m_desktop.logindSession().setLockedHint(true);
    m_desktop.sendLockedHintInvalidated();

    EXPECT_TRUE(FakeDesktop::waitFor([&] { return m_locked.count() == 1; }));
}

TEST_F(LogindLockMonitorTest, signalsFromOtherSessionPathsAreIgnored)
{
    m_desktop.startLogind();
    start();

    m_desktop.sendLockedHint(true, QStringLiteral("/org/freedesktop/login1/session/_33"));
    m_desktop.sendLockedHint(true, QStringLiteral("/org/freedesktop/login1/session/auto"));
    settle();

    EXPECT_EQ(m_locked.count(), 0);
    EXPECT_FALSE(m_monitor.isLocked());
}

TEST_F(LogindLockMonitorTest, freedesktopScreenSaverLocksAndUnlocks)
{
    m_desktop.startScreenSaver();
    start();

    m_desktop.sendScreenSaverActive(freedesktopScreenSaver, QStringLiteral("/ScreenSaver"), true);
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_locked.count() == 1; }));
    m_desktop.sendScreenSaverActive(freedesktopScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                    false);
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_unlocked.count() == 1; }));
}

TEST_F(LogindLockMonitorTest, gnomeScreenSaverLocksAndUnlocks)
{
    m_desktop.startScreenSaver();
    start();

    m_desktop.sendScreenSaverActive(gnomeScreenSaver, QStringLiteral("/org/gnome/ScreenSaver"), true);
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_locked.count() == 1; }));
    m_desktop.sendScreenSaverActive(gnomeScreenSaver, QStringLiteral("/org/gnome/ScreenSaver"), false);
    ASSERT_TRUE(FakeDesktop::waitFor([&] { return m_unlocked.count() == 1; }));
}

TEST_F(LogindLockMonitorTest, oneLockReportedByEverySourceGivesOneSignal)
{
    m_desktop.startLogind();
    m_desktop.startScreenSaver();
    start();

    m_desktop.sendLockedHint(true);
    m_desktop.sendScreenSaverActive(freedesktopScreenSaver, QStringLiteral("/ScreenSaver"), true);
    m_desktop.sendScreenSaverActive(freedesktopScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                    true);
    m_desktop.sendScreenSaverActive(gnomeScreenSaver, QStringLiteral("/org/gnome/ScreenSaver"), true);
    settle();
    EXPECT_EQ(m_locked.count(), 1);

    m_desktop.sendScreenSaverActive(gnomeScreenSaver, QStringLiteral("/org/gnome/ScreenSaver"), false);
    m_desktop.sendScreenSaverActive(freedesktopScreenSaver, QStringLiteral("/ScreenSaver"), false);
    m_desktop.sendLockedHint(false);
    settle();
    EXPECT_EQ(m_locked.count(), 1);
    EXPECT_EQ(m_unlocked.count(), 1);
}

TEST_F(LogindLockMonitorTest, withoutLogindTheScreenSaverStillCounts)
{
    m_desktop.startScreenSaver();
    LogCapture log;

    start();

    EXPECT_EQ(log.count(QtWarningMsg, QStringLiteral("com.brightlet.Lumatick.Session"),
                        QStringLiteral("logind is not on the system bus; locking is noticed only through the "
                                       "screen saver")),
              1);
    EXPECT_TRUE(m_monitor.sessionPath().isEmpty());
    m_desktop.sendScreenSaverActive(freedesktopScreenSaver, QStringLiteral("/ScreenSaver"), true);
    EXPECT_TRUE(FakeDesktop::waitFor([&] { return m_locked.count() == 1; }));
}

} // namespace
