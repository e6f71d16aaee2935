#include "ReliabilityTest.h"

#include "ApplicationIdentity.h"
#include "PreferenceKeys.h"

#include <QDBusInterface>
#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using SharedFolderTest = FastClockTest;

// A property of the control object of the counter on `bus`; -1 while it does not answer.
qint64 property(const QDBusConnection& bus, const char* name)
{
    const QVariant value =
        QDBusInterface(ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
                       ApplicationIdentity::controlInterface, bus)
            .property(name);
    return value.isValid() ? value.toLongLong() : -1;
}

// Two computers (two counters with their own buses, preferences and stores) share one folder:
// each counts, and once both are paused each one's total over all computers is its own plus
// the other's. Then a third computer's file is written in place, cut inside today's line,
// while the first reads: no reading ever takes the cut figure for the day.
TEST_F(SharedFolderTest, twoCountersSumEachOthersDaysAndNeverTakeAHalfWrittenLine)
{
    QTemporaryDir other;
    PrivateBus otherBus;
    const QString sync = other.filePath(u"Sync"_s);
    ASSERT_TRUE(QDir().mkpath(sync) && otherBus.isRunning());
    m_preferences.setValue(PreferenceKeys::sharedTotalsFolder, sync);
    Preferences(other.filePath(u"config/Brightlet/Lumatick.conf"_s))
        .setValue(PreferenceKeys::sharedTotalsFolder, sync);
    QProcessEnvironment second = m_clock;
    for (const QString& folder :
         {u"HOME"_s, u"XDG_CONFIG_HOME"_s, u"XDG_DATA_HOME"_s, u"XDG_CACHE_HOME"_s, u"XDG_STATE_HOME"_s})
        second.insert(folder,
                      other.filePath(folder == u"HOME" ? u"home"_s : folder.section(u'_', 1, 1).toLower()));
    second.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, otherBus.address());
    QProcess* first = startHeadless(m_clock);
    QProcess* secondApp = startHeadless(second);
    const QDBusConnection buses[] = {m_bus, otherBus.connect(u"second"_s)};
    ASSERT_TRUE(waitUntil(
        [&] { return property(buses[0], "TodaySeconds") > 2 && property(buses[1], "TodaySeconds") > 2; },
        startTimeoutMs))
        << logOf(first).toStdString() << logOf(secondApp).toStdString();
    for (const QDBusConnection& bus : buses)
        QDBusInterface(ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
                       ApplicationIdentity::controlInterface, bus)
            .call(u"Pause"_s);
    const auto summed = [&](int one, int another) {
        return property(buses[one], "AllComputersTodaySeconds") ==
               property(buses[one], "TodaySeconds") + property(buses[another], "TodaySeconds");
    };
    EXPECT_TRUE(waitUntil([&] { return summed(0, 1) && summed(1, 0); }, startTimeoutMs))
        << logOf(first).toStdString() << logOf(secondApp).toStdString();

    const qint64 before = property(buses[0], "AllComputersTodaySeconds");
    const QByteArray head = "lumatick-shared-totals,1,Third\ndate,total_seconds,total_formatted,goal_met\n" +
                            acceleratedDay().toString(Qt::ISODate).toLatin1() + ",1";
    QFile third(sync + u"/Lumatick/third.csv"_s);
    qint64 lastSeen = 0;
    for (int round = 1; round <= 20; ++round) {
        const QByteArray rest = QByteArray::number(round) + "00,0s,false\n";
        for (const QByteArray& part : {head, rest}) {
            ASSERT_TRUE(third.open(part == head ? QIODevice::WriteOnly : QIODevice::Append));
            third.write(part);
            third.close();
            QTest::qWait(30);
            const qint64 seen = property(buses[0], "AllComputersTodaySeconds") - before;
            SCOPED_TRACE(round);
            // Only whole figures, and never back: a cut line neither counts nor drops the day.
            EXPECT_TRUE(seen == lastSeen ||
                        seen == QByteArray("1" + QByteArray::number(round) + "00").toLongLong())
                << seen;
            EXPECT_GE(seen, lastSeen);
            lastSeen = seen;
        }
    }
    EXPECT_TRUE(waitUntil([&] { return property(buses[0], "AllComputersTodaySeconds") == before + 12000; },
                          startTimeoutMs));
    EXPECT_EQ(terminate(first), 0);
    EXPECT_EQ(terminate(secondApp), 0);
}

} // namespace
