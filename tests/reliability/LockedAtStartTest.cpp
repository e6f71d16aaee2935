#include "DBusMock.h"
#include "ReliabilityTest.h"

using namespace Qt::StringLiterals;

namespace {

const QString sessionPath = u"/org/freedesktop/login1/session/c2"_s;
const DBusMock::Service logind{u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                               u"org.freedesktop.login1.Manager"_s};

using LockedAtStartTest = ReliabilityTest;

// A counter started (or restarted) behind the lock screen: the lock is in effect before anyone
// listens for its changes, and nothing may count until the unlock.
TEST_F(LockedAtStartTest, aSessionLockedAtStartCountsNothingUntilUnlocked)
{
    DBusMock login(m_systemBus, logind, u"logind"_s);
    ASSERT_TRUE(login.isRunning());
    login.call(u"AddSession"_s, {u"c2"_s, u"seat0"_s, 1000u, u"user"_s, true});
    login.addMethod(u"AddAuto"_s, {},
                    u"self.AddObject('/org/freedesktop/login1/session/auto', "
                    u"'org.freedesktop.login1.Session', {'Id': 'c2'}, [])"_s);
    login.call(u"AddAuto"_s, {}, logind.interface);
    login.updateProperties({{u"LockedHint"_s, true}}, sessionPath);

    QProcess* app = startHeadless();
    ASSERT_TRUE(waitUntilAnswering()) << logOf(app).toStdString();
    EXPECT_EQ(liveSecondsAfter(3'000), 0) << logOf(app).toStdString();

    login.updateProperties({{u"LockedHint"_s, false}}, sessionPath);
    EXPECT_TRUE(waitForLiveSeconds(2)) << logOf(app).toStdString();
}

} // namespace
