#include "ControlService.h"
#include "ActivityTracker.h"
#include "ApplicationIdentity.h"
#include "FormatDuration.h"
#include "MenuBarViewModel.h"
#include "Preferences.h"
#include "ScreenTimeManager.h"
#include "SingleInstance.h"
#include "StoreOpener.h"

#include "FakeClock.h"
#include "PrivateBus.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QDate today(2026, 6, 10);
const QString propertiesInterface = u"org.freedesktop.DBus.Properties"_s;

// What a listener on the bus hears of the control object's property changes.
class PropertiesChangedRecorder : public QObject {
    Q_OBJECT
public:
    const QList<QDBusMessage>& messages() const { return m_messages; }

public Q_SLOTS:
    void record(const QDBusMessage& message) { m_messages.append(message); }

private:
    QList<QDBusMessage> m_messages;
};

bool waitUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

QVariantMap changedProperties(const QDBusMessage& message)
{
    return qdbus_cast<QVariantMap>(message.arguments().value(1));
}

class ControlServiceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bus.isRunning());
        m_preferences.registerDefaults();
        m_store = StoreOpener(m_dir.path(), m_preferences).open(m_clock.now()).store;
        ASSERT_TRUE(m_store);
        m_manager.setModelContext(m_store.get());
        m_model.refresh();
        m_service = std::make_unique<ControlService>(m_model, m_manager);
    }

    void TearDown() override
    {
        m_service.reset();
        QDBusConnection::disconnectFromBus(u"controlService"_s);
        QDBusConnection::disconnectFromBus(u"controlClient"_s);
    }

    void setLiveTotal(qint64 seconds)
    {
        m_store->saveDayTotal(today.startOfDay(), seconds);
        m_manager.loadTodayTotal();
        m_model.refresh();
    }

    // The service lives in this thread, so a blocking call could never be answered.
    QDBusMessage callFromClient(const QString& interface, const QString& method,
                                const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath, interface, method);
        message.setArguments(arguments);
        const QDBusPendingCall pending = m_clientBus.asyncCall(message);
        waitUntil([&] { return pending.isFinished(); });
        return pending.reply();
    }

    QDBusMessage callControl(const QString& method)
    {
        return callFromClient(ApplicationIdentity::controlInterface, method);
    }

    QVariantMap allProperties()
    {
        const QDBusMessage reply =
            callFromClient(propertiesInterface, u"GetAll"_s, {ApplicationIdentity::controlInterface});
        return qdbus_cast<QVariantMap>(reply.arguments().value(0));
    }

    // Listens from the client side; the round trip afterwards makes sure the bus has the match
    // rule before the test changes anything.
    void listenForChanges()
    {
        ASSERT_TRUE(m_clientBus.connect(QString(), ApplicationIdentity::controlObjectPath,
                                        propertiesInterface, u"PropertiesChanged"_s, &m_recorder,
                                        SLOT(record(QDBusMessage))));
        allProperties();
    }

    // Signals from one sender arrive in order: once a change of `name` is heard, any signal the
    // steps before it would have sent has arrived as well.
    bool waitForChangeOf(const QString& name)
    {
        return waitUntil([&] {
            const QList<QDBusMessage>& messages = m_recorder.messages();
            return std::any_of(messages.cbegin(), messages.cend(), [&](const QDBusMessage& message) {
                return changedProperties(message).contains(name);
            });
        });
    }

    PrivateBus m_bus;
    QDBusConnection m_serviceBus = m_bus.connect(u"controlService"_s);
    QDBusConnection m_clientBus = m_bus.connect(u"controlClient"_s);
    QTemporaryDir m_dir;
    FakeClock m_clock{QDateTime(today, QTime(12, 0))};
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    std::unique_ptr<RecordStore> m_store;
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
    MenuBarViewModel m_model{m_manager, m_tracker, m_preferences, m_clock.clock()};
    std::unique_ptr<ControlService> m_service;
    PropertiesChangedRecorder m_recorder;
};

// --- Properties ---

TEST_F(ControlServiceTest, propertiesReadFromAnotherConnectionShowTheModel)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    setLiveTotal(4 * 3600 + 37 * 60 + 12);
    const QVariantMap properties = allProperties();
    EXPECT_EQ(properties.keys(), (QStringList{u"Paused"_s, u"Tier"_s, u"TodaySeconds"_s, u"TodayText"_s}));
    EXPECT_EQ(properties.value(u"TodaySeconds"_s).metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(properties.value(u"TodaySeconds"_s).toLongLong(), 16632);
    EXPECT_EQ(properties.value(u"TodayText"_s).toString(), formatDuration(16632, true));
    EXPECT_EQ(properties.value(u"Tier"_s).toString(), u"yellow"_s);
    EXPECT_EQ(properties.value(u"Paused"_s), QVariant(false));
}

TEST_F(ControlServiceTest, propertiesCannotBeWritten)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    const QDBusMessage reply = callFromClient(
        propertiesInterface, u"Set"_s,
        {ApplicationIdentity::controlInterface, u"Paused"_s, QVariant::fromValue(QDBusVariant(true))});
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_FALSE(m_manager.isPaused());
}

// --- Methods ---

TEST_F(ControlServiceTest, togglePauseOverTheBusPausesAndResumesTheManager)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    EXPECT_EQ(callControl(u"TogglePause"_s).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(m_manager.isPaused());
    // Visible at once, before any tick refreshes the model.
    EXPECT_EQ(allProperties().value(u"Paused"_s), QVariant(true));
    callControl(u"TogglePause"_s);
    EXPECT_FALSE(m_manager.isPaused());
}

TEST_F(ControlServiceTest, pauseAndResumeSetRatherThanToggle)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    callControl(u"Pause"_s);
    callControl(u"Pause"_s);
    EXPECT_TRUE(m_manager.isPaused());
    callControl(u"Resume"_s);
    callControl(u"Resume"_s);
    EXPECT_FALSE(m_manager.isPaused());
}

TEST_F(ControlServiceTest, showPanelOverTheBusAsksTheShell)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    QSignalSpy shown(m_service.get(), &ControlService::showPanelRequested);
    EXPECT_EQ(callControl(u"ShowPanel"_s).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(shown.count(), 1);
}

// --- PropertiesChanged ---

TEST_F(ControlServiceTest, oneRefreshChangingSeveralFiguresSendsOneSignal)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    listenForChanges();
    setLiveTotal(4 * 3600);
    ASSERT_TRUE(waitForChangeOf(u"TodaySeconds"_s));
    m_model.refresh();
    QCoreApplication::processEvents();
    m_manager.setPaused(true);
    ASSERT_TRUE(waitForChangeOf(u"Paused"_s));

    ASSERT_EQ(m_recorder.messages().size(), 2);
    const QDBusMessage& first = m_recorder.messages().constFirst();
    EXPECT_EQ(first.path(), ApplicationIdentity::controlObjectPath);
    EXPECT_EQ(first.arguments().value(0).toString(), ApplicationIdentity::controlInterface);
    EXPECT_EQ(first.signature(), u"sa{sv}as"_s);
    EXPECT_EQ(changedProperties(first),
              (QVariantMap{{u"TodaySeconds"_s, QVariant::fromValue(qlonglong{14400})},
                           {u"TodayText"_s, formatDuration(14400, true)},
                           {u"Tier"_s, u"yellow"_s}}));
    EXPECT_EQ(changedProperties(m_recorder.messages().at(1)), (QVariantMap{{u"Paused"_s, true}}));
}

TEST_F(ControlServiceTest, changesWithinOneLoopPassSendOnlyTheLatestValues)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    listenForChanges();
    setLiveTotal(100);
    setLiveTotal(200);
    ASSERT_TRUE(waitForChangeOf(u"TodaySeconds"_s));
    m_manager.setPaused(true);
    ASSERT_TRUE(waitForChangeOf(u"Paused"_s));

    ASSERT_EQ(m_recorder.messages().size(), 2);
    EXPECT_EQ(changedProperties(m_recorder.messages().constFirst()).value(u"TodaySeconds"_s).toLongLong(),
              200);
}

TEST_F(ControlServiceTest, aChangeUndoneBeforeTheLoopTurnsSendsNothing)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    listenForChanges();
    m_manager.setPaused(true);
    m_manager.setPaused(false);
    QCoreApplication::processEvents();
    setLiveTotal(60);
    ASSERT_TRUE(waitForChangeOf(u"TodaySeconds"_s));

    ASSERT_EQ(m_recorder.messages().size(), 1);
    EXPECT_FALSE(changedProperties(m_recorder.messages().constFirst()).contains(u"Paused"_s));
}

// --- Registration ---

TEST_F(ControlServiceTest, secondRegistrationFromAnotherConnectionFails)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    ControlService second(m_model, m_manager);
    EXPECT_FALSE(second.registerOn(m_clientBus));
    EXPECT_EQ(m_clientBus.interface()->serviceOwner(ApplicationIdentity::busName).value(),
              m_serviceBus.baseService());
    EXPECT_EQ(m_clientBus.objectRegisteredAt(ApplicationIdentity::controlObjectPath), nullptr);
}

TEST_F(ControlServiceTest, nameIsFreeAgainOnceTheServiceIsGone)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    m_service.reset();
    ControlService next(m_model, m_manager);
    EXPECT_TRUE(next.registerOn(m_clientBus));
}

TEST_F(ControlServiceTest, registerOnADisconnectedBusFails)
{
    EXPECT_FALSE(m_service->registerOn(QDBusConnection(u"noSuchConnection"_s)));
}

// --- Single instance ---

TEST_F(ControlServiceTest, handOverAsksTheRunningInstanceToShowItsPanel)
{
    ASSERT_TRUE(m_service->registerOn(m_serviceBus));
    QSignalSpy shown(m_service.get(), &ControlService::showPanelRequested);
    EXPECT_TRUE(SingleInstance::handOverToRunningInstance(m_clientBus));
    EXPECT_EQ(shown.count(), 1);
}

TEST_F(ControlServiceTest, handOverOnAnEmptyBusLeavesTheStartToTheCaller)
{
    QSignalSpy shown(m_service.get(), &ControlService::showPanelRequested);
    EXPECT_FALSE(SingleInstance::handOverToRunningInstance(m_clientBus));
    EXPECT_FALSE(SingleInstance::handOverToRunningInstance(QDBusConnection(u"noSuchConnection"_s)));
    EXPECT_EQ(shown.count(), 0);
}

} // namespace

#include "ControlServiceTest.moc"
