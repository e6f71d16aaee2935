#include "IdleTimeSourceSelector.h"
#include "LogindIdleTimeSource.h"
#include "MutterIdleTimeSource.h"
#include "ScreenSaverIdleTimeSource.h"

#include "FakeClock.h"
#include "FakeDesktop.h"
#include "FakeIdleTimeSource.h"
#include "LogCapture.h"
#include "QtPrinters.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

const QDateTime tenOClock(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
const QString category = QStringLiteral("com.brightlet.Lumatick.Session");
const QString noServiceLine = QStringLiteral(
    "No idle-time service answered, so screen time will count whenever the screen is awake and "
    "unlocked, even while nobody is at the machine.");

qulonglong microsecondsSinceEpoch(const QDateTime& moment)
{
    return static_cast<qulonglong>(moment.toMSecsSinceEpoch()) * 1000;
}

class IdleTimeSourceTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_desktop.isRunning()); }

    IdleTimeSourceSelector select(IdleTimeSourceSelector::Prebuilt prebuilt = {})
    {
        return IdleTimeSourceSelector({m_desktop.appSession(), m_desktop.appSystem()}, prebuilt,
                                      m_clock.clock());
    }

    FakeDesktop m_desktop;
    FakeClock m_clock{tenOClock};
    FakeIdleTimeSource m_wayland{m_clock.clock()};
};

// Each service's unit turned into seconds.

TEST_F(IdleTimeSourceTest, mutterMillisecondsBecomeSeconds)
{
    m_desktop.startMutter().setIdleMs(1500);
    ASSERT_TRUE(MutterIdleTimeSource::probe(m_desktop.appSession()));
    MutterIdleTimeSource source(m_desktop.appSession());

    EXPECT_EQ(source.secondsSinceLastInput(), 1.5);
    EXPECT_EQ(source.name(), QStringLiteral("Mutter IdleMonitor"));
}

TEST_F(IdleTimeSourceTest, screenSaverMillisecondsBecomeSeconds)
{
    m_desktop.startScreenSaver().setIdleMs(61'250);
    ASSERT_TRUE(ScreenSaverIdleTimeSource::probe(m_desktop.appSession()));
    ScreenSaverIdleTimeSource source(m_desktop.appSession());

    EXPECT_EQ(source.secondsSinceLastInput(), 61.25);
}

TEST_F(IdleTimeSourceTest, logindIdleSinceMicrosecondsBecomeSeconds)
{
    m_desktop.startLogind();
    const QString path = QString::fromLatin1(FakeDesktop::sessionPath);
    ASSERT_TRUE(LogindIdleTimeSource::probe(m_desktop.appSystem(), path));
    LogindIdleTimeSource source(m_desktop.appSystem(), path, m_clock.clock());

    m_desktop.logindSession().setIdleHint(true, microsecondsSinceEpoch(tenOClock) - 90'500'000);
    EXPECT_EQ(source.secondsSinceLastInput(), 90.5);
}

TEST_F(IdleTimeSourceTest, logindNotIdleMeansInputJustNow)
{
    m_desktop.startLogind();
    m_desktop.logindSession().setIdleHint(false, microsecondsSinceEpoch(tenOClock) - 3'600'000'000);
    LogindIdleTimeSource source(m_desktop.appSystem(), QString::fromLatin1(FakeDesktop::sessionPath),
                                m_clock.clock());

    EXPECT_EQ(source.secondsSinceLastInput(), 0.0);
}

// Failures per tick and at start.

TEST_F(IdleTimeSourceTest, vanishedServiceGivesNothingQuickly)
{
    m_desktop.startMutter().setIdleMs(10);
    MutterIdleTimeSource source(m_desktop.appSession());
    ASSERT_TRUE(source.secondsSinceLastInput().has_value());

    m_desktop.stopMutter();
    QElapsedTimer elapsed;
    elapsed.start();

    EXPECT_EQ(source.secondsSinceLastInput(), std::nullopt);
    EXPECT_LT(elapsed.elapsed(), 500);
}

TEST_F(IdleTimeSourceTest, screenSaverRefusingTheCallFailsTheProbe)
{
    m_desktop.startScreenSaver().setNotSupported(true);

    EXPECT_FALSE(ScreenSaverIdleTimeSource::probe(m_desktop.appSession()));
}

TEST_F(IdleTimeSourceTest, absentServicesFailTheirProbes)
{
    EXPECT_FALSE(MutterIdleTimeSource::probe(m_desktop.appSession()));
    EXPECT_FALSE(ScreenSaverIdleTimeSource::probe(m_desktop.appSession()));
    EXPECT_FALSE(
        LogindIdleTimeSource::probe(m_desktop.appSystem(), QString::fromLatin1(FakeDesktop::sessionPath)));
}

// The selector's order and its log.

TEST_F(IdleTimeSourceTest, selectorPrefersMutterOverEverythingElse)
{
    m_desktop.startMutter().setIdleMs(2000);
    m_desktop.startScreenSaver();
    m_desktop.startLogind();
    m_wayland.setLastInput(tenOClock);
    LogCapture log;

    const IdleTimeSourceSelector selector = select({&m_wayland, nullptr});

    EXPECT_EQ(selector.chosenName(), QStringLiteral("Mutter IdleMonitor"));
    ASSERT_NE(selector.source(), nullptr);
    EXPECT_EQ(selector.source()->secondsSinceLastInput(), 2.0);
    EXPECT_EQ(log.count(QtInfoMsg, category, QStringLiteral("Idle time from Mutter IdleMonitor")), 1);
    EXPECT_EQ(log.entries().size(), 1);
}

TEST_F(IdleTimeSourceTest, selectorPrefersAnAnsweringPrebuiltSourceOverTheScreenSaver)
{
    m_desktop.startScreenSaver();
    m_wayland.setLastInput(tenOClock);

    const IdleTimeSourceSelector selector = select({&m_wayland, nullptr});

    EXPECT_EQ(selector.source(), &m_wayland);
}

TEST_F(IdleTimeSourceTest, selectorSkipsAPrebuiltSourceThatDoesNotAnswer)
{
    m_desktop.startScreenSaver();
    m_wayland.setAnswers(false);

    const IdleTimeSourceSelector selector = select({nullptr, &m_wayland});

    EXPECT_EQ(selector.chosenName(), QStringLiteral("ScreenSaver GetSessionIdleTime"));
}

TEST_F(IdleTimeSourceTest, selectorFallsBackToLogind)
{
    m_desktop.startScreenSaver().setNotSupported(true);
    m_desktop.startLogind();

    const IdleTimeSourceSelector selector = select();

    EXPECT_EQ(selector.chosenName(), QStringLiteral("logind IdleHint"));
}

TEST_F(IdleTimeSourceTest, selectorWithNoServiceSaysSoOnceInPlainWords)
{
    LogCapture log;

    const IdleTimeSourceSelector selector = select();

    EXPECT_EQ(selector.source(), nullptr);
    EXPECT_TRUE(selector.chosenName().isEmpty());
    EXPECT_EQ(log.count(QtWarningMsg, category, noServiceLine), 1);
    EXPECT_EQ(log.entries().size(), 1);
}

} // namespace
