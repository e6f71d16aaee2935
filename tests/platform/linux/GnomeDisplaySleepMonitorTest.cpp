#include "GnomeDisplaySleepMonitor.h"

#include "FakeDisplayConfig.h"
#include "FakeServiceBus.h"
#include "LogCapture.h"
#include "QtPrinters.h"
#include "SessionEvents.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString displayConfig = QString::fromLatin1(FakeDisplayConfig::service);
const QString displayConfigPath = QString::fromLatin1(FakeDisplayConfig::path);

class GnomeDisplaySleepMonitorTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_bus.isRunning()); }

    FakeDisplayConfig& startMutter(int mode)
    {
        return m_bus.publish(std::make_unique<FakeDisplayConfig>(mode), displayConfig, displayConfigPath);
    }

    void start()
    {
        ASSERT_TRUE(m_monitor.start());
        m_bus.syncWithBus();
    }

    // Changes the mode and announces it the way Mutter does, with the new value.
    void changeMode(FakeDisplayConfig& mutter, int mode)
    {
        mutter.setPowerSaveMode(mode);
        sendPropertiesChanged(displayConfig, {{QStringLiteral("PowerSaveMode"), mode}}, {});
    }

    void sendPropertiesChanged(const QString& interface, const QVariantMap& changed,
                               const QStringList& invalidated)
    {
        m_bus.sendSignal(displayConfigPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                         QStringLiteral("PropertiesChanged"), {interface, changed, invalidated});
    }

    void sendMonitorsChanged()
    {
        m_bus.sendSignal(displayConfigPath, displayConfig, QStringLiteral("MonitorsChanged"), {});
    }

    // Lets every signal already sent arrive, so "nothing more happened" can be asserted.
    void settle() { ASSERT_TRUE(m_bus.flushSignals()); }

    FakeServiceBus m_bus;
    SessionEvents m_events;
    GnomeDisplaySleepMonitor m_monitor{m_bus.app(), m_events};
    QSignalSpy m_slept{&m_events, &SessionEvents::screensDidSleep};
    QSignalSpy m_woke{&m_events, &SessionEvents::screensDidWake};
};

// --- start-up ---

TEST_F(GnomeDisplaySleepMonitorTest, displaysOffAtStartAreReportedOnceAtStart)
{
    startMutter(3);

    start();
    settle();

    EXPECT_EQ(m_slept.count(), 1);
    EXPECT_EQ(m_woke.count(), 0);
    EXPECT_TRUE(m_monitor.isAsleep());
}

TEST_F(GnomeDisplaySleepMonitorTest, displaysOnAtStartReportNothing)
{
    startMutter(0);

    start();
    settle();

    EXPECT_EQ(m_slept.count(), 0);
    EXPECT_EQ(m_woke.count(), 0);
    EXPECT_FALSE(m_monitor.isAsleep());
}

TEST_F(GnomeDisplaySleepMonitorTest, absentMutterFailsToStartWithOneLogLine)
{
    LogCapture log;

    EXPECT_FALSE(m_monitor.start());

    int lines = 0;
    for (const LogCapture::Entry& entry : log.entries())
        lines += entry.category == QStringLiteral("com.brightlet.Lumatick.DesktopDBus") ? 1 : 0;
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(m_slept.count(), 0);
}

// --- following PowerSaveMode ---

TEST_F(GnomeDisplaySleepMonitorTest, eachSleepingModeSleepsAndOnWakes)
{
    FakeDisplayConfig& mutter = startMutter(0);
    start();

    for (int mode : {1, 2, 3}) {
        const int slept = m_slept.count();
        changeMode(mutter, mode);
        ASSERT_TRUE(FakeServiceBus::waitFor([&] { return m_slept.count() == slept + 1; })) << mode;
        changeMode(mutter, 0);
        ASSERT_TRUE(FakeServiceBus::waitFor([&] { return m_woke.count() == slept + 1; })) << mode;
    }
    EXPECT_FALSE(m_monitor.isAsleep());
}

TEST_F(GnomeDisplaySleepMonitorTest, repeatedAndDeeperSleepModesReportOneSleep)
{
    FakeDisplayConfig& mutter = startMutter(0);
    start();

    for (int mode : {1, 1, 2, 3, 3})
        changeMode(mutter, mode);
    changeMode(mutter, 0);
    changeMode(mutter, 0);
    settle();

    EXPECT_EQ(m_slept.count(), 1);
    EXPECT_EQ(m_woke.count(), 1);
}

TEST_F(GnomeDisplaySleepMonitorTest, unknownModeKeepsTheLastState)
{
    FakeDisplayConfig& mutter = startMutter(0);
    start();

    changeMode(mutter, -1);
    settle();
    EXPECT_EQ(m_slept.count(), 0);

    changeMode(mutter, 3);
    changeMode(mutter, -1);
    settle();
    EXPECT_EQ(m_slept.count(), 1);
    EXPECT_EQ(m_woke.count(), 0);
    EXPECT_TRUE(m_monitor.isAsleep());
}

TEST_F(GnomeDisplaySleepMonitorTest, unknownModeAtStartReportsNothing)
{
    startMutter(-1);

    start();
    settle();

    EXPECT_EQ(m_slept.count(), 0);
    EXPECT_EQ(m_woke.count(), 0);
}

TEST_F(GnomeDisplaySleepMonitorTest, invalidatedModeIsFetched)
{
    FakeDisplayConfig& mutter = startMutter(0);
    start();

    mutter.setPowerSaveMode(2);
    sendPropertiesChanged(displayConfig, {}, {QStringLiteral("PowerSaveMode")});

    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return m_slept.count() == 1; }));
}

TEST_F(GnomeDisplaySleepMonitorTest, monitorsChangedRereadsAStaleMode)
{
    FakeDisplayConfig& mutter = startMutter(0);
    start();

    mutter.setPowerSaveMode(3);
    sendMonitorsChanged();
    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return m_slept.count() == 1; }));

    mutter.setPowerSaveMode(0);
    sendMonitorsChanged();
    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return m_woke.count() == 1; }));
}

TEST_F(GnomeDisplaySleepMonitorTest, otherInterfacesAndPropertiesAreIgnored)
{
    FakeDisplayConfig& mutter = startMutter(0);
    start();
    const int readsAfterStart = mutter.reads();

    sendPropertiesChanged(QStringLiteral("org.gnome.Mutter.Other"), {{QStringLiteral("PowerSaveMode"), 3}},
                          {});
    sendPropertiesChanged(displayConfig, {{QStringLiteral("ApplyMonitorsConfigAllowed"), true}},
                          {QStringLiteral("NightLightSupported")});
    settle();

    EXPECT_EQ(m_slept.count(), 0);
    EXPECT_EQ(mutter.reads(), readsAfterStart);
}

} // namespace
