#include "FreedesktopNotificationCenter.h"

#include "FakeClock.h"
#include "LogCapture.h"
#include "PrivateBus.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using AuthorizationStatus = NotificationCenter::AuthorizationStatus;

namespace {
constexpr QLatin1StringView serverName("org.freedesktop.Notifications");
constexpr QLatin1StringView serverPath("/org/freedesktop/Notifications");
} // namespace

// A notification server that records what it is asked to show.
class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName;
        uint replacesId;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout;
    };

    QList<Call> calls;
    QList<uint> closed;
    bool failing = false;

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout)
    {
        calls.append({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
        if (failing) {
            sendErrorReply(QDBusError::Failed, u"server broken"_s);
            return 0;
        }
        // Like real servers: a replacement keeps its id, anything else gets a fresh one.
        return replacesId != 0 ? replacesId : ++m_lastId;
    }
    void CloseNotification(uint id) { closed.append(id); }
    QStringList GetCapabilities() { return {u"body"_s}; }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion)
    {
        vendor = u"Test"_s;
        version = u"1"_s;
        specVersion = u"1.2"_s;
        return u"fake"_s;
    }

private:
    // Ids start well above 1, so an id we did not get from the server cannot pass for one.
    uint m_lastId = 40;
};

namespace {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

NotificationRequest immediate(const QString& identifier, const QString& body)
{
    return {identifier, u"Lumatick"_s, body, true, std::nullopt};
}

NotificationRequest dailyAt22(const QString& identifier, const QString& body)
{
    return {identifier, u"Lumatick"_s, body, true, CalendarTrigger{std::nullopt, 22, 0, true}};
}

class FreedesktopNotificationCenterTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bus.isRunning());
        m_serverBus = m_bus.connect(u"notificationServer"_s);
        m_clientBus = m_bus.connect(u"notificationClient"_s);
        ASSERT_TRUE(m_serverBus.isConnected());
        ASSERT_TRUE(m_clientBus.isConnected());
        m_center = std::make_unique<FreedesktopNotificationCenter>(m_clientBus, m_clock.clock());
    }

    void TearDown() override
    {
        m_center.reset();
        QDBusConnection::disconnectFromBus(u"notificationServer"_s);
        QDBusConnection::disconnectFromBus(u"notificationClient"_s);
    }

    void startServer()
    {
        ASSERT_TRUE(m_serverBus.registerObject(serverPath, &m_server, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_serverBus.registerService(serverName));
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

    std::optional<bool> requestAuthorization()
    {
        std::optional<bool> result;
        m_center->requestAuthorization([&result](bool granted) { result = granted; });
        waitUntil([&result] { return result.has_value(); });
        return result;
    }

    // Messages from one peer reach the server in order, so once the server has answered this
    // call it has seen every Notify sent before it.
    void roundTripToServer()
    {
        const QDBusMessage call =
            QDBusMessage::createMethodCall(serverName, serverPath, serverName, u"GetCapabilities"_s);
        QDBusPendingCallWatcher watcher(m_clientBus.asyncCall(call));
        ASSERT_TRUE(waitUntil([&watcher] { return watcher.isFinished(); }));
    }

    PrivateBus m_bus;
    QDBusConnection m_serverBus{u"unset"_s};
    QDBusConnection m_clientBus{u"unset"_s};
    FakeNotificationServer m_server;
    // Far in the future, so the real wall-clock timer never fires during a test; scheduled
    // deliveries are driven through the scheduler by hand.
    FakeClock m_clock{QDateTime(QDate(2099, 6, 10), QTime(21, 0), Qt::LocalTime)};
    std::unique_ptr<FreedesktopNotificationCenter> m_center;
};

// ---- Showing notifications ------------------------------------------------------------------

TEST_F(FreedesktopNotificationCenterTest, requestWithoutTriggerSendsOneNotifyWithItsFields)
{
    startServer();
    EXPECT_EQ(add(immediate(u"com.lumatick.breakReminder"_s, u"Time for a break"_s)), true);

    ASSERT_EQ(m_server.calls.size(), 1);
    const FakeNotificationServer::Call& call = m_server.calls.first();
    EXPECT_EQ(call.appName, u"Lumatick"_s);
    EXPECT_EQ(call.replacesId, 0u);
    EXPECT_EQ(call.summary, u"Lumatick"_s);
    EXPECT_EQ(call.body, u"Time for a break"_s);
    EXPECT_TRUE(call.actions.isEmpty());
    EXPECT_EQ(call.expireTimeout, -1);
    EXPECT_EQ(call.hints.value(u"desktop-entry"_s), QVariant(u"lumatick"_s));
    EXPECT_TRUE(call.hints.contains(u"sound-name"_s));
    EXPECT_FALSE(call.hints.contains(u"suppress-sound"_s));
    EXPECT_EQ(call.hints.value(u"urgency"_s).metaType(), QMetaType::fromType<uchar>());
}

TEST_F(FreedesktopNotificationCenterTest, requestWithoutSoundAsksTheServerForSilence)
{
    startServer();
    NotificationRequest quiet = immediate(u"quiet"_s, u"Shh"_s);
    quiet.defaultSound = false;
    add(quiet);

    ASSERT_EQ(m_server.calls.size(), 1);
    EXPECT_EQ(m_server.calls.first().hints.value(u"suppress-sound"_s), QVariant(true));
    EXPECT_FALSE(m_server.calls.first().hints.contains(u"sound-name"_s));
}

TEST_F(FreedesktopNotificationCenterTest, sameIdentifierAgainReplacesTheShownNotification)
{
    startServer();
    add(immediate(u"reminder"_s, u"first"_s));
    add(immediate(u"reminder"_s, u"second"_s));
    add(immediate(u"reminder"_s, u"third"_s));

    ASSERT_EQ(m_server.calls.size(), 3);
    EXPECT_EQ(m_server.calls.at(1).replacesId, 41u);
    EXPECT_EQ(m_server.calls.at(2).replacesId, 41u);
}

TEST_F(FreedesktopNotificationCenterTest, requestsSentBeforeTheFirstReplyStillReplaceIt)
{
    startServer();
    int completed = 0;
    m_center->add(immediate(u"reminder"_s, u"first"_s), [&completed](bool) { ++completed; });
    m_center->add(immediate(u"reminder"_s, u"second"_s), [&completed](bool) { ++completed; });
    m_center->add(immediate(u"reminder"_s, u"third"_s), [&completed](bool) { ++completed; });
    ASSERT_TRUE(waitUntil([&completed] { return completed == 3; }));

    // The second was overtaken while it waited; the latest text replaces the first on screen.
    ASSERT_EQ(m_server.calls.size(), 2);
    EXPECT_EQ(m_server.calls.at(1).body, u"third"_s);
    EXPECT_EQ(m_server.calls.at(1).replacesId, 41u);
}

TEST_F(FreedesktopNotificationCenterTest, differentIdentifiersKeepIndependentNotifications)
{
    startServer();
    add(immediate(u"daily"_s, u"a"_s));
    add(immediate(u"weekly"_s, u"b"_s));
    add(immediate(u"daily"_s, u"c"_s));
    add(immediate(u"weekly"_s, u"d"_s));

    ASSERT_EQ(m_server.calls.size(), 4);
    EXPECT_EQ(m_server.calls.at(0).replacesId, 0u);
    EXPECT_EQ(m_server.calls.at(1).replacesId, 0u);
    EXPECT_EQ(m_server.calls.at(2).replacesId, 41u);
    EXPECT_EQ(m_server.calls.at(3).replacesId, 42u);
}

// ---- Authorisation and a missing or broken server -------------------------------------------

TEST_F(FreedesktopNotificationCenterTest, absentServerIsNotAuthorisedAndAddsFail)
{
    LogCapture log;
    EXPECT_EQ(requestAuthorization(), false);
    EXPECT_EQ(status(), AuthorizationStatus::denied);
    EXPECT_EQ(add(immediate(u"reminder"_s, u"first"_s)), false);
    EXPECT_EQ(add(immediate(u"reminder"_s, u"second"_s)), false);

    int warnings = 0;
    for (const LogCapture::Entry& entry : log.entries())
        warnings += entry.type == QtWarningMsg && entry.message.contains(u"Notifications cannot be shown"_s);
    EXPECT_EQ(warnings, 1);
}

TEST_F(FreedesktopNotificationCenterTest, serverAppearingLaterIsAuthorised)
{
    EXPECT_EQ(status(), AuthorizationStatus::denied);
    startServer();
    EXPECT_EQ(status(), AuthorizationStatus::authorized);
    EXPECT_EQ(requestAuthorization(), true);
    EXPECT_EQ(add(immediate(u"reminder"_s, u"hello"_s)), true);
}

TEST_F(FreedesktopNotificationCenterTest, serverRefusingNotifyMakesTheAddFail)
{
    startServer();
    m_server.failing = true;
    EXPECT_EQ(add(immediate(u"reminder"_s, u"first"_s)), false);

    m_server.failing = false;
    EXPECT_EQ(add(immediate(u"reminder"_s, u"second"_s)), true);
    EXPECT_EQ(m_server.calls.last().replacesId, 0u);
}

// ---- Scheduled requests ---------------------------------------------------------------------

TEST_F(FreedesktopNotificationCenterTest, scheduledRequestIsDeliveredWhenItsTimeComes)
{
    startServer();
    EXPECT_EQ(add(dailyAt22(u"com.lumatick.daily"_s, u"Today: 1h 00m"_s)), true);
    roundTripToServer();
    EXPECT_TRUE(m_server.calls.isEmpty());

    m_clock.set(QDateTime(QDate(2099, 6, 10), QTime(22, 0), Qt::LocalTime));
    m_center->scheduler().deliverDue();
    ASSERT_TRUE(waitUntil([this] { return !m_server.calls.isEmpty(); }));
    EXPECT_EQ(m_server.calls.first().body, u"Today: 1h 00m"_s);
    EXPECT_TRUE(m_center->scheduler().isPending(u"com.lumatick.daily"_s));
}

TEST_F(FreedesktopNotificationCenterTest, removedScheduledRequestIsNeverDelivered)
{
    startServer();
    add(dailyAt22(u"com.lumatick.daily"_s, u"Today: 1h 00m"_s));
    m_center->removePending(u"com.lumatick.daily"_s);
    m_center->removePending(u"com.lumatick.unknown"_s);

    m_clock.set(QDateTime(QDate(2099, 6, 10), QTime(22, 0), Qt::LocalTime));
    m_center->scheduler().deliverDue();
    roundTripToServer();
    EXPECT_TRUE(m_server.calls.isEmpty());
    EXPECT_FALSE(m_center->scheduler().isPending(u"com.lumatick.daily"_s));
}

TEST_F(FreedesktopNotificationCenterTest, requestWithoutTriggerTakesThePlaceOfAScheduledOne)
{
    startServer();
    add(dailyAt22(u"reminder"_s, u"later"_s));
    add(immediate(u"reminder"_s, u"now"_s));

    EXPECT_FALSE(m_center->scheduler().isPending(u"reminder"_s));
    ASSERT_EQ(m_server.calls.size(), 1);
    EXPECT_EQ(m_server.calls.first().body, u"now"_s);
}

TEST_F(FreedesktopNotificationCenterTest, scheduledRequestOutOfRangeIsRefused)
{
    NotificationRequest bad = dailyAt22(u"daily"_s, u"x"_s);
    bad.trigger->hour = 24;
    EXPECT_EQ(add(bad), false);
    EXPECT_FALSE(m_center->scheduler().isPending(u"daily"_s));
}

} // namespace

#include "FreedesktopNotificationCenterTest.moc"
