#include "StatusNotifierItem.h"

#include "DBusMenuLayoutItem.h"
#include "FakeStatusNotifierWatcher.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "StatusNotifierMenu.h"
#include "StatusNotifierPixmap.h"
#include "WaitUntil.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString menuPath = QString::fromLatin1(StatusNotifierMenu::path);
const QString menuInterface = QString::fromLatin1(StatusNotifierMenu::interfaceName);

// Heard by the panel: each new label with its guide.
class LabelRecorder : public QObject {
    Q_OBJECT
public:
    QList<QStringList> labels;

public Q_SLOTS:
    void onNewLabel(const QString& label, const QString& guide) { labels.append({label, guide}); }
};

class StatusNotifierItemTest : public testing::Test {
protected:
    // Named connections outlive the test; the next test's bus needs fresh ones.
    void TearDown() override
    {
        for (const char* name : {"sni-panel", "sni-item"})
            QDBusConnection::disconnectFromBus(QLatin1String(name));
    }

    void startRegisteredItem()
    {
        ASSERT_TRUE(m_watcher.start(m_panelBus));
        ASSERT_TRUE(m_item.start());
        ASSERT_TRUE(waitUntil([&] { return m_item.isRegistered() && m_item.isShown(); }));
    }

    // Calls the item the way a panel does, without blocking the thread the item answers on.
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {})
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(m_itemBus.baseService(), path, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = m_panelBus.asyncCall(message);
        EXPECT_TRUE(waitUntil([&] { return pending.isFinished(); })) << method.toStdString();
        return pending.reply();
    }

    QVariantMap itemProperties()
    {
        const QDBusMessage reply = call(itemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("GetAll"), {itemInterface});
        return qdbus_cast<QVariantMap>(reply.arguments().value(0));
    }

    QString firstMenuLabel()
    {
        const QDBusMessage reply =
            call(menuPath, menuInterface, QStringLiteral("GetLayout"), {0, -1, QStringList()});
        const auto root = qdbus_cast<DBusMenuLayoutItem>(reply.arguments().value(1));
        return root.children.isEmpty()
                   ? QString()
                   : root.children.first().properties.value(QStringLiteral("label")).toString();
    }

    PrivateBus m_bus;
    QDBusConnection m_panelBus = m_bus.connect(QStringLiteral("sni-panel"));
    QDBusConnection m_itemBus = m_bus.connect(QStringLiteral("sni-item"));
    FakeStatusNotifierWatcher m_watcher;
    StatusNotifierItem m_item{m_itemBus, QStringLiteral("lumatick"), QStringLiteral("Lumatick")};
};

// A panel that starts after us, or restarts, still gets the item: we register whenever the
// watcher appears, and count as shown only while one is there.
TEST_F(StatusNotifierItemTest, registersWhenThePanelComesAndAgainWhenItReturns)
{
    ASSERT_TRUE(m_item.start());
    EXPECT_FALSE(waitUntil([&] { return m_item.isShown(); }, 300));
    ASSERT_TRUE(m_watcher.start(m_panelBus));
    ASSERT_TRUE(waitUntil([&] { return m_item.isRegistered() && m_item.isShown(); }));
    m_watcher.stop(m_panelBus);
    ASSERT_TRUE(waitUntil([&] { return !m_item.isRegistered() && !m_item.isShown(); }));
    ASSERT_TRUE(m_watcher.start(m_panelBus));
    ASSERT_TRUE(waitUntil([&] { return m_item.isRegistered() && m_item.isShown(); }));
    EXPECT_EQ(m_watcher.registrations(), QStringList(2, m_itemBus.baseService()));
}

TEST_F(StatusNotifierItemTest, panelReadsLabelIconToolTipAndMenu)
{
    startRegisteredItem();
    m_item.setLabel(QStringLiteral("1h 05m 09s"), QStringLiteral("0h 00m 00s"));
    m_item.setToolTip(QStringLiteral("Screen time today: 1 hour 5 minutes"));
    QImage icon(2, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(255, 0, 0, 255));
    icon.setPixel(1, 0, qRgba(0x11, 0x22, 0x33, 0x80));
    m_item.setIcon(icon);

    const QVariantMap properties = itemProperties();
    EXPECT_EQ(properties.value(QStringLiteral("Id")).toString(), QStringLiteral("lumatick"));
    EXPECT_EQ(properties.value(QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("1h 05m 09s"));
    EXPECT_EQ(properties.value(QStringLiteral("XAyatanaLabelGuide")).toString(),
              QStringLiteral("0h 00m 00s"));
    EXPECT_EQ(qdbus_cast<StatusNotifierToolTip>(properties.value(QStringLiteral("ToolTip"))).title,
              QStringLiteral("Screen time today: 1 hour 5 minutes"));
    EXPECT_EQ(properties.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path(),
              QStringLiteral("/MenuBar"));
    const auto pixmaps =
        qdbus_cast<QList<StatusNotifierPixmap>>(properties.value(QStringLiteral("IconPixmap")));
    ASSERT_EQ(pixmaps.size(), 1);
    // ARGB32 in network byte order, as panels read it.
    EXPECT_EQ(pixmaps.first().bytes, QByteArray::fromHex("ffff000080112233"));
}

// The label is sent with its guide in the signal itself, and only when it changed.
TEST_F(StatusNotifierItemTest, eachNewLabelIsAnnouncedOnce)
{
    startRegisteredItem();
    LabelRecorder panel;
    ASSERT_TRUE(m_panelBus.connect(m_itemBus.baseService(), itemPath, itemInterface,
                                   QStringLiteral("XAyatanaNewLabel"), &panel,
                                   SLOT(onNewLabel(QString, QString))));
    for (const char* label : {"a", "a", "b"})
        m_item.setLabel(QString::fromLatin1(label), QStringLiteral("0h"));
    ASSERT_TRUE(waitUntil([&] { return panel.labels.size() == 2; }));
    EXPECT_EQ(panel.labels.last(), (QStringList{QStringLiteral("b"), QStringLiteral("0h")}));
}

TEST_F(StatusNotifierItemTest, clicksAndMenuEntriesReachTheApplication)
{
    startRegisteredItem();
    QSignalSpy activated(&m_item, &StatusItemBackend::activated);
    QSignalSpy pause(&m_item, &StatusItemBackend::pauseToggleRequested);
    QSignalSpy quit(&m_item, &StatusItemBackend::quitRequested);
    call(itemPath, itemInterface, QStringLiteral("Activate"), {12, 34});
    call(itemPath, itemInterface, QStringLiteral("SecondaryActivate"), {0, 0});
    const QVariant noData = QVariant::fromValue(QDBusVariant(0));
    const int quitId = StatusNotifierMenu::quitId;
    call(menuPath, menuInterface, QStringLiteral("Event"), {quitId, QStringLiteral("hovered"), noData, 0u});
    EXPECT_EQ(quit.size(), 0);
    call(menuPath, menuInterface, QStringLiteral("Event"), {quitId, QStringLiteral("clicked"), noData, 0u});

    ASSERT_TRUE(waitUntil([&] { return activated.size() == 1 && pause.size() == 1 && quit.size() == 1; }));
    EXPECT_EQ(activated.first().first().toPoint(), QPoint(12, 34));
    EXPECT_EQ(firstMenuLabel(), QStringLiteral("Pause"));
    m_item.setMenuPaused(true);
    EXPECT_EQ(firstMenuLabel(), QStringLiteral("Resume"));
}

} // namespace

#include "StatusNotifierItemTest.moc"
