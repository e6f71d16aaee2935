#include "FreedesktopNotificationCenter.h"
#include "NotificationScheduler.h"
#include "WallClockTimer.h"

#include "DBusMock.h"
#include "FakeClock.h"
#include "LogCapture.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "ScopedTimeZone.h"
#include "WaitUntil.h"

#include <QDBusArgument>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using AuthorizationStatus = NotificationCenter::AuthorizationStatus;

namespace {

QDateTime local(int month, int day, int hour, int minute, int second = 0, int year = 2026)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

QDateTime utc(int month, int day, int hour, int minute)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
}

CalendarTrigger at(int hour, int minute = 0, std::optional<int> weekday = std::nullopt, bool repeats = true)
{
    return CalendarTrigger{weekday, hour, minute, repeats};
}

NotificationRequest request(const QString& identifier, const QString& body,
                            std::optional<CalendarTrigger> trigger = std::nullopt)
{
    return {identifier, u"Lumatick"_s, body, true, trigger};
}

class FreedesktopNotificationCenterTest : public testing::Test {
protected:
    void startServer()
    {
        m_server = std::make_unique<DBusMock>(m_bus,
                                              DBusMock::Service{u"org.freedesktop.Notifications"_s,
                                                                u"/org/freedesktop/Notifications"_s,
                                                                u"org.freedesktop.Notifications"_s},
                                              u"notification_daemon"_s);
        ASSERT_TRUE(m_server->isRunning());
    }

    std::optional<bool> add(const NotificationRequest& request)
    {
        std::optional<bool> result;
        m_center->add(request, [&result](bool ok) { result = ok; });
        waitUntil([&result] { return result.has_value(); });
        return result;
    }

    std::optional<AuthorizationStatus> status()
    {
        std::optional<AuthorizationStatus> result;
        m_center->authorizationStatus([&result](AuthorizationStatus answer) { result = answer; });
        waitUntil([&result] { return result.has_value(); });
        return result;
    }

    // (replaces_id, body, hints) of every Notify the server got.
    QList<std::tuple<uint, QString, QVariantMap>> shown() const
    {
        QList<std::tuple<uint, QString, QVariantMap>> calls;
        for (const QVariantList& call : m_server->callsOf(u"Notify"_s))
            calls.append(
                {call.value(1).toUInt(), call.value(4).toString(), qdbus_cast<QVariantMap>(call.value(6))});
        return calls;
    }

    PrivateBus m_bus;
    std::unique_ptr<DBusMock> m_server;
    // Far in the future, so the real wall-clock timer never fires during a test.
    FakeClock m_clock{local(6, 10, 21, 0, 0, 2099)};
    std::unique_ptr<FreedesktopNotificationCenter> m_center = std::make_unique<FreedesktopNotificationCenter>(
        m_bus.connect(u"notification-client"_s), m_clock.clock());
};

// What the desktop shows and keeps: one notification per identifier, updated in place, with
// the urgency as the byte servers require and our desktop entry for per-app settings. Requests
// sent before the server answered the first still replace it: the latest text wins, and no
// notification of its own opens for the overtaken one.
TEST_F(FreedesktopNotificationCenterTest, eachIdentifierKeepsOneNotificationUpdatedInPlace)
{
    startServer();
    NotificationRequest quiet = request(u"weekly"_s, u"b"_s);
    quiet.defaultSound = false;
    for (const NotificationRequest& each : {request(u"daily"_s, u"a"_s), quiet, request(u"daily"_s, u"c"_s)})
        ASSERT_EQ(add(each), true);
    int completed = 0;
    for (const QString& body : {u"first"_s, u"second"_s, u"third"_s})
        m_center->add(request(u"reminder"_s, body), [&](bool) { ++completed; });
    ASSERT_TRUE(waitUntil([&] { return completed == 3; }));

    const auto calls = shown();
    ASSERT_EQ(calls.size(), 5);
    const auto& [firstReplaces, firstBody, hints] = calls[0];
    EXPECT_EQ(firstReplaces, 0u);
    EXPECT_EQ(hints.value(u"desktop-entry"_s), u"lumatick"_s);
    EXPECT_EQ(hints.value(u"urgency"_s).metaType(), QMetaType::fromType<uchar>());
    EXPECT_TRUE(hints.contains(u"sound-name"_s));
    EXPECT_EQ(std::get<2>(calls[1]).value(u"suppress-sound"_s), true);
    EXPECT_FALSE(std::get<2>(calls[1]).contains(u"sound-name"_s));
    EXPECT_EQ(std::get<0>(calls[2]), 1u);
    EXPECT_EQ(std::get<0>(calls[4]), 3u);
    EXPECT_EQ(std::get<1>(calls[4]), u"third"_s);
}

// On a desktop whose notification server is installed but not running, nothing is started
// behind the test's back: no server means not authorised (said once), until one appears.
TEST_F(FreedesktopNotificationCenterTest, absentServerIsNotAuthorisedUntilOneAppears)
{
    LogCapture log;
    EXPECT_EQ(status(), AuthorizationStatus::denied);
    EXPECT_EQ(add(request(u"reminder"_s, u"first"_s)), false);
    EXPECT_EQ(add(request(u"reminder"_s, u"second"_s)), false);
    EXPECT_EQ(log.count(QtWarningMsg, u"Notifications cannot be shown"_s), 1);
    startServer();
    EXPECT_EQ(status(), AuthorizationStatus::authorized);
    EXPECT_EQ(add(request(u"reminder"_s, u"hello"_s)), true);
}

// A calendar request waits for its time, replaced by a newer one of its name, dropped when
// removed or overtaken by an immediate one; a repeating one then waits for the next day.
TEST_F(FreedesktopNotificationCenterTest, scheduledRequestWaitsForItsTimeUnlessRemovedOrOvertaken)
{
    startServer();
    const std::vector<std::pair<NotificationRequest, bool>> requests{
        {request(u"daily"_s, u"old"_s, at(22)), true},
        {request(u"daily"_s, u"Today"_s, at(22)), true},
        {request(u"once"_s, u"Once"_s, at(22, 0, std::nullopt, false)), true},
        {request(u"weekly"_s, u"Week"_s, at(22)), true},
        {request(u"later"_s, u"later"_s, at(22)), true},
        {request(u"later"_s, u"now"_s), true},
        {request(u"bad"_s, u"x"_s, at(24)), false}};
    for (const auto& [each, accepted] : requests)
        EXPECT_EQ(add(each), accepted) << each.body.toStdString();
    m_center->removePending(u"weekly"_s);
    ASSERT_EQ(shown().size(), 1);

    for (const QDateTime& moment : {local(6, 10, 21, 59, 59, 2099), local(6, 10, 22, 0, 0, 2099)}) {
        m_clock.set(moment);
        m_center->scheduler().deliverDue();
    }
    ASSERT_TRUE(waitUntil([&] { return shown().size() >= 3; }));
    QStringList bodies;
    for (const auto& each : shown())
        bodies << std::get<1>(each);
    EXPECT_EQ(bodies, (QStringList{u"now"_s, u"Today"_s, u"Once"_s}));
    EXPECT_EQ(m_center->scheduler().pendingIdentifiers(), QStringList{u"daily"_s});
    EXPECT_EQ(m_center->scheduler().deliveryOf(u"daily"_s), local(6, 11, 22, 0, 0, 2099));
}

TEST(NextDeliveryTest, fallsOnTheWallClockAcrossWeekdaysAndDaylightSavingChanges)
{
    struct Case {
        const char* zone;
        CalendarTrigger trigger;
        QDateTime after;
        QDateTime expected;
    };
    const std::vector<Case> cases{
        {"Europe/Berlin", at(22), local(6, 10, 21, 59, 59), local(6, 10, 22, 0)},
        {"Europe/Berlin", at(22), local(6, 10, 22, 0), local(6, 11, 22, 0)},
        {"Europe/Berlin", at(7, 45), local(6, 10, 7, 30), local(6, 10, 7, 45)},
        {"Europe/Berlin", at(0, 0, 1), local(6, 13, 21, 0), local(6, 14, 0, 0)}, // Sunday is 1
        {"Europe/Berlin", at(0, 0, 1), local(6, 14, 0, 0, 1), local(6, 21, 0, 0)},
        {"Europe/Berlin", at(9, 0, 7), local(6, 10, 12, 0), local(6, 13, 9, 0)}, // Saturday
        // A time in the spring-forward gap fires when the gap ends; the day is 23 hours long.
        {"Europe/Berlin", at(2, 30), local(3, 28, 23, 0), utc(3, 29, 1, 0)},
        {"Europe/Berlin", at(22), local(3, 28, 22, 0), utc(3, 29, 20, 0)},
        {"Europe/Berlin", at(2), utc(3, 29, 1, 0), utc(3, 30, 0, 0)},
        // A time repeated by falling back fires at its first instance only.
        {"Europe/Berlin", at(2, 30), local(10, 24, 23, 0), utc(10, 25, 0, 30)},
        {"Europe/Berlin", at(2, 30), utc(10, 25, 0, 30), utc(10, 26, 1, 30)},
        {"America/New_York", at(2, 0, 1), local(3, 7, 23, 0), utc(3, 8, 7, 0)},
        {"America/New_York", at(1, 30), utc(11, 1, 5, 30), utc(11, 2, 6, 30)},
    };
    for (const Case& c : cases) {
        ScopedTimeZone zone(c.zone);
        // Local times are read in the case's zone.
        const QDateTime after(c.after.date(), c.after.time(), c.after.timeSpec());
        const QDateTime expected(c.expected.date(), c.expected.time(), c.expected.timeSpec());
        SCOPED_TRACE(testing::Message() << c.zone << " after " << after.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(NotificationScheduler::nextDeliveryAfter(c.trigger, after).toUTC(), expected.toUTC());
    }
    for (const CalendarTrigger& outOfRange : {at(9, 0, 0), at(9, 0, 8), at(24), at(-1), at(9, 60)})
        EXPECT_FALSE(NotificationScheduler::nextDeliveryAfter(outOfRange, local(6, 10, 12, 0)).isValid());
}

// A clock set back finds the earlier occurrence; one set far past a delivery skips it; a
// delivery missed by less than the grace (the machine woke just after) is made up. (A new time
// zone moving the delivery is checked where the desktop services hear of it.)
TEST(NotificationSchedulerTest, clockJumpsAndWakeRecomputeFromTheNewWallClock)
{
    const ScopedTimeZone berlin("Europe/Berlin");
    FakeClock clock(local(6, 10, 21, 0));
    QStringList delivered;
    NotificationScheduler scheduler(clock.clock(),
                                    [&](const NotificationRequest& due) { delivered << due.body; });
    const auto moveTo = [&](const QDateTime& moment) {
        clock.set(moment);
        scheduler.recompute();
    };
    scheduler.schedule(request(u"daily"_s, u"Today"_s, at(22)));
    moveTo(local(6, 9, 8, 0));
    EXPECT_EQ(scheduler.deliveryOf(u"daily"_s), local(6, 9, 22, 0));
    moveTo(local(6, 12, 23, 0));
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_EQ(scheduler.deliveryOf(u"daily"_s), local(6, 13, 22, 0));
    moveTo(local(6, 13, 22, 5));
    EXPECT_EQ(delivered, QStringList{u"Today"_s});
}

TEST(WallClockTimerTest, firesOnceAtItsInstantAndNotForOneStoppedOrReplaced)
{
    WallClockTimer timer, stopped, rearmed, past;
    QSignalSpy fired(&timer, &WallClockTimer::timeout);
    QSignalSpy stoppedFired(&stopped, &WallClockTimer::timeout);
    QSignalSpy rearmedFired(&rearmed, &WallClockTimer::timeout);
    QSignalSpy pastFired(&past, &WallClockTimer::timeout);
    const QDateTime instant = QDateTime::currentDateTimeUtc().addMSecs(300);
    timer.start(instant);
    for (WallClockTimer* early : {&stopped, &rearmed})
        early->start(instant.addMSecs(-200));
    past.start(instant.addSecs(-3600));
    stopped.stop();
    rearmed.start(instant.addSecs(3600));

    EXPECT_TRUE(timer.followsWallClock());
    ASSERT_TRUE(waitUntil([&] { return fired.count() > 0; }));
    EXPECT_GE(QDateTime::currentDateTimeUtc(), instant);
    EXPECT_EQ(pastFired.count(), 1);
    EXPECT_EQ(stoppedFired.count() + rearmedFired.count(), 0);
    EXPECT_FALSE(timer.isActive());
    EXPECT_TRUE(rearmed.isActive());
}

} // namespace
