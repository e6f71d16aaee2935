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

using AuthorizationStatus = NotificationCenter::AuthorizationStatus;

namespace {

const DBusMock::Service server{QStringLiteral("org.freedesktop.Notifications"),
                               QStringLiteral("/org/freedesktop/Notifications"),
                               QStringLiteral("org.freedesktop.Notifications")};

QDateTime local(int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

QDateTime utc(int month, int day, int hour, int minute)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
}

CalendarTrigger at(int hour, int minute = 0, std::optional<int> weekday = std::nullopt)
{
    return CalendarTrigger{weekday, hour, minute, true};
}

NotificationRequest request(const QString& identifier, const QString& body,
                            std::optional<CalendarTrigger> trigger = std::nullopt)
{
    return {identifier, QStringLiteral("Lumatick"), body, true, trigger};
}

class FreedesktopNotificationCenterTest : public testing::Test {
protected:
    void TearDown() override
    {
        m_center.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("notification-client"));
    }

    void startServer()
    {
        m_server = std::make_unique<DBusMock>(m_bus, QStringLiteral("notification_daemon"), server);
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
        for (const QVariantList& call : m_server->callsOf(QStringLiteral("Notify")))
            calls.append({call.value(1).toUInt(), call.value(4).toString(),
                          qdbus_cast<QVariantMap>(call.value(6).value<QDBusArgument>())});
        return calls;
    }

    PrivateBus m_bus;
    std::unique_ptr<DBusMock> m_server;
    // Far in the future, so the real wall-clock timer never fires during a test.
    FakeClock m_clock{QDateTime(QDate(2099, 6, 10), QTime(21, 0), Qt::LocalTime)};
    std::unique_ptr<FreedesktopNotificationCenter> m_center = std::make_unique<FreedesktopNotificationCenter>(
        m_bus.connect(QStringLiteral("notification-client")), m_clock.clock());
};

// What the desktop shows and keeps: one notification per identifier, updated in place, with
// the urgency as the byte servers require and our desktop entry for per-app settings.
TEST_F(FreedesktopNotificationCenterTest, eachIdentifierKeepsOneNotificationUpdatedInPlace)
{
    startServer();
    NotificationRequest quiet = request(QStringLiteral("weekly"), QStringLiteral("b"));
    quiet.defaultSound = false;
    for (const NotificationRequest& each : {request(QStringLiteral("daily"), QStringLiteral("a")), quiet,
                                            request(QStringLiteral("daily"), QStringLiteral("c"))})
        ASSERT_EQ(add(each), true);

    const auto calls = shown();
    ASSERT_EQ(calls.size(), 3);
    const auto& [firstReplaces, firstBody, hints] = calls[0];
    EXPECT_EQ(firstReplaces, 0u);
    EXPECT_EQ(hints.value(QStringLiteral("desktop-entry")), QVariant(QStringLiteral("lumatick")));
    EXPECT_EQ(hints.value(QStringLiteral("urgency")).metaType(), QMetaType::fromType<uchar>());
    EXPECT_TRUE(hints.contains(QStringLiteral("sound-name")));
    EXPECT_EQ(std::get<2>(calls[1]).value(QStringLiteral("suppress-sound")), QVariant(true));
    EXPECT_FALSE(std::get<2>(calls[1]).contains(QStringLiteral("sound-name")));
    EXPECT_EQ(std::get<0>(calls[2]), 1u);
}

// Sent before the server answered the first: the second is overtaken, the latest text replaces
// the first on screen instead of opening a notification of its own.
TEST_F(FreedesktopNotificationCenterTest, requestsSentBeforeTheFirstReplyStillReplaceIt)
{
    startServer();
    int completed = 0;
    for (const char* body : {"first", "second", "third"})
        m_center->add(request(QStringLiteral("reminder"), QString::fromLatin1(body)),
                      [&](bool) { ++completed; });
    ASSERT_TRUE(waitUntil([&] { return completed == 3; }));
    const auto calls = shown();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(std::get<0>(calls[1]), 1u);
    EXPECT_EQ(std::get<1>(calls[1]), QStringLiteral("third"));
}

// On a desktop whose notification server is installed but not running, nothing is started
// behind the test's back: no server means not authorised, until one appears.
TEST_F(FreedesktopNotificationCenterTest, absentServerIsNotAuthorisedAndAddsFail)
{
    LogCapture log;
    EXPECT_EQ(status(), AuthorizationStatus::denied);
    EXPECT_EQ(add(request(QStringLiteral("reminder"), QStringLiteral("first"))), false);
    EXPECT_EQ(add(request(QStringLiteral("reminder"), QStringLiteral("second"))), false);
    int warnings = 0;
    for (const LogCapture::Entry& entry : log.entries())
        warnings += entry.type == QtWarningMsg &&
                    entry.message.contains(QStringLiteral("Notifications cannot be shown"));
    EXPECT_EQ(warnings, 1);
}

TEST_F(FreedesktopNotificationCenterTest, serverAppearingLaterIsAuthorised)
{
    EXPECT_EQ(status(), AuthorizationStatus::denied);
    startServer();
    EXPECT_EQ(status(), AuthorizationStatus::authorized);
    EXPECT_EQ(add(request(QStringLiteral("reminder"), QStringLiteral("hello"))), true);
}

TEST_F(FreedesktopNotificationCenterTest, scheduledRequestWaitsForItsTimeUnlessRemovedOrOvertaken)
{
    startServer();
    EXPECT_EQ(add(request(QStringLiteral("daily"), QStringLiteral("Today: 1h 00m"), at(22))), true);
    EXPECT_EQ(add(request(QStringLiteral("weekly"), QStringLiteral("Week"), at(22))), true);
    EXPECT_EQ(add(request(QStringLiteral("later"), QStringLiteral("later"), at(22))), true);
    EXPECT_EQ(add(request(QStringLiteral("later"), QStringLiteral("now"))), true);
    EXPECT_EQ(add(request(QStringLiteral("bad"), QStringLiteral("x"), at(24))), false);
    m_center->removePending(QStringLiteral("weekly"));
    ASSERT_EQ(shown().size(), 1);

    m_clock.set(QDateTime(QDate(2099, 6, 10), QTime(22, 0), Qt::LocalTime));
    m_center->scheduler().deliverDue();
    ASSERT_TRUE(waitUntil([&] { return shown().size() == 2; }));
    EXPECT_EQ(std::get<1>(shown().constLast()), QStringLiteral("Today: 1h 00m"));
    EXPECT_EQ(m_center->scheduler().pendingIdentifiers(), QStringList{QStringLiteral("daily")});
}

// ---- When a calendar time falls -------------------------------------------------------------

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

class NotificationSchedulerTest : public testing::Test {
protected:
    void moveTo(const QDateTime& moment)
    {
        m_clock.set(moment.toUTC());
        m_scheduler.recompute();
    }

    ScopedTimeZone m_zone{"Europe/Berlin"};
    // Held in UTC, so a test that changes the zone moves the wall clock, not the instant.
    FakeClock m_clock{local(6, 10, 21, 0).toUTC()};
    QStringList m_delivered;
    NotificationScheduler m_scheduler{m_clock.clock(), [this](const NotificationRequest& delivered) {
                                          m_delivered.append(delivered.identifier + u':' + delivered.body);
                                      }};
};

TEST_F(NotificationSchedulerTest, deliversOnceWhenDueThenWaitsForTheNextOccurrence)
{
    CalendarTrigger once = at(22);
    once.repeats = false;
    ASSERT_TRUE(m_scheduler.schedule(request(QStringLiteral("daily"), QStringLiteral("old"), at(22))));
    m_scheduler.schedule(request(QStringLiteral("daily"), QStringLiteral("Today"), at(22)));
    m_scheduler.schedule(request(QStringLiteral("once"), QStringLiteral("Once"), once));
    EXPECT_FALSE(m_scheduler.schedule(request(QStringLiteral("now"), QStringLiteral("Now"))));

    m_clock.set(local(6, 10, 21, 59, 59));
    m_scheduler.deliverDue();
    EXPECT_TRUE(m_delivered.isEmpty());
    m_clock.set(local(6, 10, 22, 0));
    m_scheduler.deliverDue();
    EXPECT_EQ(m_delivered, (QStringList{QStringLiteral("daily:Today"), QStringLiteral("once:Once")}));
    EXPECT_EQ(m_scheduler.pendingIdentifiers(), QStringList{QStringLiteral("daily")});
    EXPECT_EQ(m_scheduler.deliveryOf(QStringLiteral("daily")), local(6, 11, 22, 0));
}

// A clock set back finds the earlier occurrence; one set far past a delivery skips it; a
// delivery missed by less than the grace (the machine woke just after) is made up; a new time
// zone moves the delivery to the new wall clock.
TEST_F(NotificationSchedulerTest, clockJumpsWakeAndZoneChangesRecomputeFromTheNewWallClock)
{
    m_scheduler.schedule(request(QStringLiteral("daily"), QStringLiteral("Today"), at(22)));
    moveTo(local(6, 9, 8, 0));
    EXPECT_EQ(m_scheduler.deliveryOf(QStringLiteral("daily")), local(6, 9, 22, 0));
    moveTo(local(6, 12, 23, 0));
    EXPECT_TRUE(m_delivered.isEmpty());
    EXPECT_EQ(m_scheduler.deliveryOf(QStringLiteral("daily")), local(6, 13, 22, 0));
    moveTo(local(6, 13, 22, 5));
    EXPECT_EQ(m_delivered, QStringList{QStringLiteral("daily:Today")});
    // 22:05 in Berlin is 16:05 in New York, so 22:00 there is still today, at 02:00 UTC.
    ScopedTimeZone travelled("America/New_York");
    m_scheduler.recompute();
    EXPECT_EQ(m_scheduler.deliveryOf(QStringLiteral("daily")), utc(6, 14, 2, 0));
}

TEST(WallClockTimerTest, firesOnceAtItsInstantAndNotForOneStoppedOrReplaced)
{
    WallClockTimer timer, stopped, rearmed, past;
    QSignalSpy fired(&timer, &WallClockTimer::timeout);
    QSignalSpy stoppedFired(&stopped, &WallClockTimer::timeout);
    QSignalSpy rearmedFired(&rearmed, &WallClockTimer::timeout);
    QSignalSpy pastFired(&past, &WallClockTimer::timeout);
    const QDateTime instant = QDateTime::currentDateTimeUtc().addMSecs(300);
    for (WallClockTimer* each : {&timer, &stopped, &rearmed})
        each->start(instant.addMSecs(each == &timer ? 0 : -200));
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
