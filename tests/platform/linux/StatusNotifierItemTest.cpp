#include "StatusNotifierItem.h"

#include "DBusMenuLayoutItem.h"
#include "LogCapture.h"
#include "PrivateBus.h"
#include "StatusNotifierMenu.h"
#include "StatusNotifierPixmap.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

bool waitFor(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(3000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace

// The panel's watcher: records registrations and, like a real one, says in its introspection
// that it has the host property, which toolkits check before trusting it.
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.kde.StatusNotifierWatcher\">\n"
                "    <method name=\"RegisterStatusNotifierItem\">\n"
                "      <arg name=\"service\" type=\"s\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>\n"
                "    <property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>\n"
                "  </interface>\n")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registrations)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    bool isHostRegistered() const { return true; }
    QStringList registrations() const { return m_registrations; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) { m_registrations.append(service); }

private:
    QStringList m_registrations;
};

// Catches what a host would hear from the item.
class ItemSignalRecorder : public QObject {
    Q_OBJECT
public:
    QList<QStringList> newLabels;
    QList<QVariantMap> changedProperties;
    int newIcons = 0;

public Q_SLOTS:
    void onNewIcon() { ++newIcons; }
    void onNewLabel(const QString& label, const QString& guide) { newLabels.append({label, guide}); }
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
    {
        if (interface == QLatin1String("org.kde.StatusNotifierItem"))
            changedProperties.append(changed);
    }
};

namespace {

class StatusNotifierItemTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bus.isRunning());
        ASSERT_TRUE(m_watcherBus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &m_watcher,
                                                QDBusConnection::ExportAllContents));
    }

    // Named connections outlive the test; the next test's bus needs fresh ones.
    void TearDown() override
    {
        for (const char* name : {"sni-watcher", "sni-item", "sni-host"})
            QDBusConnection::disconnectFromBus(QLatin1String(name));
    }

    void startWatcher() { ASSERT_TRUE(m_watcherBus.registerService(watcherName)); }
    void stopWatcher() { ASSERT_TRUE(m_watcherBus.unregisterService(watcherName)); }

    void startRegisteredItem()
    {
        startWatcher();
        ASSERT_TRUE(m_item.start());
        ASSERT_TRUE(waitFor([&] { return m_item.isRegistered(); }));
    }

    QString itemService() const { return m_itemBus.baseService(); }

    // The item's first attempt, made before any watcher exists, has come back refused.
    bool waitForFailedRegistration() const
    {
        return waitFor([&] {
            for (const LogCapture::Entry& entry : m_log.entries()) {
                if (entry.category == QLatin1String("com.brightlet.Lumatick.StatusItem") &&
                    entry.message.startsWith(QLatin1String("status item not registered")))
                    return true;
            }
            return false;
        });
    }

    // Calls the item the way a host does, without blocking the thread the item answers on.
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(itemService(), path, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = m_hostBus.asyncCall(message);
        EXPECT_TRUE(waitFor([&] { return pending.isFinished(); })) << method.toStdString();
        return pending.reply();
    }

    QVariantMap itemProperties()
    {
        const QDBusMessage reply =
            call(itemPath, propertiesInterface, QStringLiteral("GetAll"), {itemInterface});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().isEmpty() ? QVariantMap()
                                           : qdbus_cast<QVariantMap>(reply.arguments().first());
    }

    DBusMenuLayoutItem menuLayout()
    {
        const QDBusMessage reply =
            call(QLatin1String(StatusNotifierMenu::path), QLatin1String(StatusNotifierMenu::interfaceName),
                 QStringLiteral("GetLayout"), {0, -1, QStringList()});
        EXPECT_EQ(reply.arguments().size(), 2) << reply.errorMessage().toStdString();
        if (reply.arguments().size() != 2)
            return {};
        return qdbus_cast<DBusMenuLayoutItem>(reply.arguments().at(1));
    }

    void listenAsHost()
    {
        ASSERT_TRUE(m_hostBus.connect(itemService(), itemPath, itemInterface,
                                      QStringLiteral("XAyatanaNewLabel"), &m_recorder,
                                      SLOT(onNewLabel(QString, QString))));
        ASSERT_TRUE(m_hostBus.connect(itemService(), itemPath, itemInterface, QStringLiteral("NewIcon"),
                                      &m_recorder, SLOT(onNewIcon())));
        ASSERT_TRUE(m_hostBus.connect(itemService(), itemPath, propertiesInterface,
                                      QStringLiteral("PropertiesChanged"), &m_recorder,
                                      SLOT(onPropertiesChanged(QString, QVariantMap, QStringList))));
    }

    LogCapture m_log;
    PrivateBus m_bus;
    QDBusConnection m_watcherBus = m_bus.connect(QStringLiteral("sni-watcher"));
    QDBusConnection m_itemBus = m_bus.connect(QStringLiteral("sni-item"));
    QDBusConnection m_hostBus = m_bus.connect(QStringLiteral("sni-host"));
    FakeStatusNotifierWatcher m_watcher;
    ItemSignalRecorder m_recorder;
    StatusNotifierItem m_item{m_itemBus, QStringLiteral("lumatick"), QStringLiteral("Lumatick")};
};

// --- Registration --------------------------------------------------------------------------

TEST_F(StatusNotifierItemTest, registersWithTheWatcherUnderItsUniqueName)
{
    startRegisteredItem();
    EXPECT_EQ(m_watcher.registrations(), QStringList{itemService()});
}

TEST_F(StatusNotifierItemTest, reportsTheHostOnceRegistered)
{
    startRegisteredItem();
    EXPECT_TRUE(waitFor([&] { return m_item.isShown(); }));
}

TEST_F(StatusNotifierItemTest, withoutWatcherNoHostIsAvailable)
{
    ASSERT_TRUE(m_item.start());
    ASSERT_TRUE(waitForFailedRegistration());
    EXPECT_FALSE(m_item.isRegistered());
    EXPECT_FALSE(m_item.isShown());
}

TEST_F(StatusNotifierItemTest, registersWhenTheWatcherStartsLater)
{
    ASSERT_TRUE(m_item.start());
    ASSERT_TRUE(waitForFailedRegistration());
    startWatcher();
    ASSERT_TRUE(waitFor([&] { return m_item.isRegistered(); }));
    EXPECT_EQ(m_watcher.registrations(), QStringList{itemService()});
    EXPECT_TRUE(waitFor([&] { return m_item.isShown(); }));
}

TEST_F(StatusNotifierItemTest, registersAgainWhenTheWatcherRestarts)
{
    startRegisteredItem();
    stopWatcher();
    ASSERT_TRUE(waitFor([&] { return !m_item.isRegistered(); }));
    EXPECT_FALSE(m_item.isShown());
    startWatcher();
    ASSERT_TRUE(waitFor([&] { return m_watcher.registrations().size() == 2; }));
    EXPECT_TRUE(waitFor([&] { return m_item.isRegistered() && m_item.isShown(); }));
}

// --- Properties ----------------------------------------------------------------------------

TEST_F(StatusNotifierItemTest, introspectionListsTheLabelMembers)
{
    startRegisteredItem();
    const QDBusMessage reply =
        call(itemPath, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    ASSERT_EQ(reply.arguments().size(), 1);
    const QString xml = reply.arguments().first().toString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<property name=\"XAyatanaLabel\" type=\"s\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<property name=\"XAyatanaLabelGuide\" type=\"s\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<signal name=\"XAyatanaNewLabel\">")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<property name=\"IconPixmap\" type=\"a(iiay)\"")));
}

TEST_F(StatusNotifierItemTest, getAllGivesIdentityAndMenu)
{
    startRegisteredItem();
    const QVariantMap properties = itemProperties();
    EXPECT_EQ(properties.value(QStringLiteral("Id")).toString(), QStringLiteral("lumatick"));
    EXPECT_EQ(properties.value(QStringLiteral("Title")).toString(), QStringLiteral("Lumatick"));
    EXPECT_EQ(properties.value(QStringLiteral("Category")).toString(), QStringLiteral("ApplicationStatus"));
    EXPECT_EQ(properties.value(QStringLiteral("Status")).toString(), QStringLiteral("Active"));
    EXPECT_EQ(properties.value(QStringLiteral("ItemIsMenu")), QVariant(false));
    EXPECT_EQ(properties.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path(),
              QStringLiteral("/MenuBar"));
}

TEST_F(StatusNotifierItemTest, getAllGivesTheLabelAndGuide)
{
    startRegisteredItem();
    m_item.setLabel(QStringLiteral("1h 05m 09s"), QStringLiteral("0h 00m 00s"));
    const QVariantMap properties = itemProperties();
    EXPECT_EQ(properties.value(QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("1h 05m 09s"));
    EXPECT_EQ(properties.value(QStringLiteral("XAyatanaLabelGuide")).toString(),
              QStringLiteral("0h 00m 00s"));
}

TEST_F(StatusNotifierItemTest, getAllGivesPixmapBytesInNetworkOrder)
{
    startRegisteredItem();
    QImage icon(2, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(255, 0, 0, 255));
    icon.setPixel(1, 0, qRgba(0x11, 0x22, 0x33, 0x80));
    m_item.setIcon(icon);
    const auto pixmaps =
        qdbus_cast<QList<StatusNotifierPixmap>>(itemProperties().value(QStringLiteral("IconPixmap")));
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps.first().width, 2);
    EXPECT_EQ(pixmaps.first().height, 1);
    EXPECT_EQ(pixmaps.first().bytes, QByteArray::fromHex("ffff0000"
                                                         "80112233"));
}

TEST_F(StatusNotifierItemTest, toolTipTitleCarriesTheText)
{
    startRegisteredItem();
    m_item.setToolTip(QStringLiteral("Screen time today: 1 hour 1 minute 1 second"));
    const QVariant toolTip = itemProperties().value(QStringLiteral("ToolTip"));
    const auto decoded = qdbus_cast<StatusNotifierToolTip>(toolTip);
    EXPECT_EQ(decoded.title, QStringLiteral("Screen time today: 1 hour 1 minute 1 second"));
}

// --- Change notifications ------------------------------------------------------------------

TEST_F(StatusNotifierItemTest, labelChangeEmitsNewLabelAndPropertiesChanged)
{
    startRegisteredItem();
    listenAsHost();
    m_item.setLabel(QStringLiteral("0h 00m 01s"), QStringLiteral("0h 00m 00s"));
    ASSERT_TRUE(
        waitFor([&] { return !m_recorder.newLabels.isEmpty() && !m_recorder.changedProperties.isEmpty(); }));
    EXPECT_EQ(m_recorder.newLabels.first(),
              (QStringList{QStringLiteral("0h 00m 01s"), QStringLiteral("0h 00m 00s")}));
    EXPECT_EQ(m_recorder.changedProperties.first().value(QStringLiteral("XAyatanaLabel")).toString(),
              QStringLiteral("0h 00m 01s"));
}

TEST_F(StatusNotifierItemTest, unchangedLabelStaysQuiet)
{
    startRegisteredItem();
    listenAsHost();
    m_item.setLabel(QStringLiteral("a"), QStringLiteral("a"));
    m_item.setLabel(QStringLiteral("a"), QStringLiteral("a"));
    m_item.setLabel(QStringLiteral("b"), QStringLiteral("b"));
    ASSERT_TRUE(waitFor([&] { return m_recorder.newLabels.size() == 2; }));
    EXPECT_EQ(m_recorder.newLabels.last().first(), QStringLiteral("b"));
}

TEST_F(StatusNotifierItemTest, iconChangeEmitsNewIconAndPropertiesChanged)
{
    startRegisteredItem();
    listenAsHost();
    QImage icon(1, 1, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    m_item.setIcon(icon);
    m_item.setIcon(icon);
    ASSERT_TRUE(waitFor([&] { return m_recorder.newIcons == 1 && !m_recorder.changedProperties.isEmpty(); }));
    EXPECT_TRUE(m_recorder.changedProperties.first().contains(QStringLiteral("IconPixmap")));
    icon.fill(Qt::green);
    m_item.setIcon(icon);
    EXPECT_TRUE(waitFor([&] { return m_recorder.newIcons == 2; }));
}

TEST_F(StatusNotifierItemTest, secondaryActivateTogglesPause)
{
    startRegisteredItem();
    QSignalSpy pause(&m_item, &StatusItemBackend::pauseToggleRequested);
    call(itemPath, itemInterface, QStringLiteral("SecondaryActivate"), {0, 0});
    EXPECT_TRUE(waitFor([&] { return pause.size() == 1; }));
}

// --- Clicks and menu -----------------------------------------------------------------------

TEST_F(StatusNotifierItemTest, activateEmitsActivatedWithThePosition)
{
    startRegisteredItem();
    QSignalSpy activated(&m_item, &StatusItemBackend::activated);
    call(itemPath, itemInterface, QStringLiteral("Activate"), {12, 34});
    ASSERT_TRUE(waitFor([&] { return activated.size() == 1; }));
    EXPECT_EQ(activated.first().first().toPoint(), QPoint(12, 34));
}

TEST_F(StatusNotifierItemTest, menuQuitClickRequestsQuit)
{
    startRegisteredItem();
    QSignalSpy quit(&m_item, &StatusItemBackend::quitRequested);
    QSignalSpy pause(&m_item, &StatusItemBackend::pauseToggleRequested);
    call(QLatin1String(StatusNotifierMenu::path), QLatin1String(StatusNotifierMenu::interfaceName),
         QStringLiteral("Event"),
         {int(StatusNotifierMenu::quitId), QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)),
          0u});
    ASSERT_TRUE(waitFor([&] { return quit.size() == 1; }));
    EXPECT_EQ(pause.size(), 0);
}

TEST_F(StatusNotifierItemTest, menuHoverDoesNothing)
{
    startRegisteredItem();
    QSignalSpy quit(&m_item, &StatusItemBackend::quitRequested);
    call(QLatin1String(StatusNotifierMenu::path), QLatin1String(StatusNotifierMenu::interfaceName),
         QStringLiteral("Event"),
         {int(StatusNotifierMenu::quitId), QStringLiteral("hovered"), QVariant::fromValue(QDBusVariant(0)),
          0u});
    EXPECT_EQ(quit.size(), 0);
}

TEST_F(StatusNotifierItemTest, menuLayoutSwitchesBetweenPauseAndResume)
{
    startRegisteredItem();
    const auto firstLabel = [&] {
        const DBusMenuLayoutItem root = menuLayout();
        return root.children.isEmpty()
                   ? QString()
                   : root.children.first().properties.value(QStringLiteral("label")).toString();
    };
    EXPECT_EQ(menuLayout().children.size(), 6);
    EXPECT_EQ(firstLabel(), QStringLiteral("Pause"));
    m_item.setMenuPaused(true);
    EXPECT_EQ(firstLabel(), QStringLiteral("Resume"));
}

} // namespace

#include "StatusNotifierItemTest.moc"
