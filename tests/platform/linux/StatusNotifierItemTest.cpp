#include "StatusNotifierItem.h"

#include "DBusMenuLayoutItem.h"
#include "FakeStatusNotifierWatcher.h"
#include "FileContents.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "StatusNotifierHost.h"
#include "StatusNotifierMenu.h"
#include "StatusNotifierPixmap.h"
#include "WaitUntil.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString itemPath = QString::fromLatin1(StatusNotifierItem::itemPath);
const QString itemInterface = QString::fromLatin1(StatusNotifierItem::itemInterface);
const QString menuPath = QString::fromLatin1(StatusNotifierMenu::path);
const QString menuInterface = QString::fromLatin1(StatusNotifierMenu::interfaceName);

// The menu's label updates as a panel hears them on the bus.
class LabelUpdateRecorder : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void record(const QDBusMessage& message)
    {
        labels += qdbus_cast<QList<DBusMenuItemProperties>>(message.arguments().value(0));
        signature = message.signature();
    }

public:
    QList<DBusMenuItemProperties> labels;
    QString signature;
};

class StatusNotifierItemTest : public testing::Test {
protected:
    void startRegisteredItem()
    {
        ASSERT_TRUE(m_watcher.start(m_panelBus));
        ASSERT_TRUE(m_item.start());
        ASSERT_TRUE(waitUntil([&] { return m_item.isRegistered() && m_item.isShown(); }));
    }

    // Calls the item the way a panel does, without blocking the thread the item answers on.
    QVariant call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments, int answer = 0)
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(m_itemBus.baseService(), path, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = m_panelBus.asyncCall(message);
        EXPECT_TRUE(waitUntil([&] { return pending.isFinished(); })) << method.toStdString();
        return pending.reply().arguments().value(answer);
    }

    // The menu's entries as a host lists them; a read-only row is in brackets, a separator "-".
    QStringList menuEntries()
    {
        const auto root = qdbus_cast<DBusMenuLayoutItem>(
            call(menuPath, menuInterface, QStringLiteral("GetLayout"), {0, -1, QStringList()}, 1));
        QStringList entries;
        for (const DBusMenuLayoutItem& child : root.children) {
            const QString label =
                child.properties.value(QStringLiteral("label"), QStringLiteral("-")).toString();
            entries.append(child.properties.value(QStringLiteral("enabled"), true).toBool()
                               ? label
                               : u'[' + label + u']');
        }
        return entries;
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
    // The watcher runs in this process, so its process name is ours.
    EXPECT_EQ(m_item.hostProcess(), QString::fromUtf8(readFile(u"/proc/self/comm"_s)).trimmed());
    m_watcher.stop(m_panelBus);
    ASSERT_TRUE(waitUntil([&] { return !m_item.isRegistered() && !m_item.isShown(); }));
    ASSERT_TRUE(m_watcher.start(m_panelBus));
    ASSERT_TRUE(waitUntil([&] { return m_item.isRegistered() && m_item.isShown(); }));
    EXPECT_EQ(m_watcher.registrations(), QStringList(2, m_itemBus.baseService()));
}

// Withdrawn while a host shows it (our GNOME Shell extension took over), the item tells the host
// to hide it, since the host keeps the registration until our connection leaves the bus.
TEST_F(StatusNotifierItemTest, aWithdrawnItemAsksItsHostToHideIt)
{
    ASSERT_TRUE(m_watcher.start(m_panelBus));
    // The second time the extension was turned off again: the host shows the item again.
    for (int shown = 0; shown < 2; ++shown) {
        StatusNotifierItem item(m_bus.connect(u"sni-withdrawn"_s), u"lumatick"_s, u"Lumatick"_s);
        ASSERT_TRUE(item.start());
        ASSERT_TRUE(waitUntil([&] { return item.isShown(); }));
    }
    const QStringList statuses{u"Active"_s, u"Passive"_s, u"Active"_s, u"Passive"_s};
    EXPECT_TRUE(waitUntil([&] { return m_watcher.statuses() == statuses; }))
        << m_watcher.statuses().join(u',').toStdString();
}

// The label travels with its guide in the signal itself, once a change; the panel reads the
// rest as properties, the pixmap as ARGB32 in network byte order.
TEST_F(StatusNotifierItemTest, panelHearsEachNewLabelOnceAndReadsIconToolTipAndMenu)
{
    startRegisteredItem();
    // Heard while the loop sleeps, not only while it polls (as the application's own loop does).
    QSignalSpy heard(&m_watcher, &FakeStatusNotifierWatcher::labelHeard);
    m_item.setLabel(QStringLiteral("1h 05m 08s"), QStringLiteral("0h 00m 00s"));
    ASSERT_TRUE(heard.wait());
    // Set within one pass of the event loop, only the last leaves, as the loop goes to sleep.
    for (const char* label : {"1h 05m 07s", "1h 05m 09s", "1h 05m 09s"})
        m_item.setLabel(QString::fromLatin1(label), QStringLiteral("0h 00m 00s"));
    m_item.setToolTip(QStringLiteral("Screen time today: 1 hour 5 minutes"));
    QImage icon(2, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(255, 0, 0, 255));
    icon.setPixel(1, 0, qRgba(0x11, 0x22, 0x33, 0x80));
    m_item.setIcon(icon);

    const auto properties =
        qdbus_cast<QVariantMap>(call(itemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("GetAll"), {itemInterface}));
    EXPECT_EQ(properties.value(QStringLiteral("Id")), QStringLiteral("lumatick"));
    EXPECT_EQ(properties.value(QStringLiteral("XAyatanaLabel")), QStringLiteral("1h 05m 09s"));
    EXPECT_EQ(properties.value(QStringLiteral("XAyatanaLabelGuide")), QStringLiteral("0h 00m 00s"));
    EXPECT_EQ(qdbus_cast<StatusNotifierToolTip>(properties.value(QStringLiteral("ToolTip"))).title,
              QStringLiteral("Screen time today: 1 hour 5 minutes"));
    EXPECT_EQ(properties.value(QStringLiteral("IconAccessibleDesc")),
              QStringLiteral("Screen time today: 1 hour 5 minutes"));
    EXPECT_EQ(properties.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path(), menuPath);
    // Hosts log an error for each optional property an item does not answer.
    for (const char* name :
         {"IconThemePath", "AttentionIconName", "AttentionIconPixmap", "AttentionMovieName",
          "OverlayIconName", "OverlayIconPixmap", "AttentionAccessibleDesc", "WindowId"})
        EXPECT_TRUE(properties.contains(QLatin1String(name))) << name;
    const auto pixmaps =
        qdbus_cast<QList<StatusNotifierPixmap>>(properties.value(QStringLiteral("IconPixmap")));
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps.first().bytes, QByteArray::fromHex("ffff000080112233"));
    ASSERT_TRUE(waitUntil([&] { return m_watcher.labels().size() >= 2; }));
    EXPECT_EQ(m_watcher.labels(),
              (QList<QStringList>{{QStringLiteral("1h 05m 08s"), QStringLiteral("0h 00m 00s")},
                                  {QStringLiteral("1h 05m 09s"), QStringLiteral("0h 00m 00s")}}));
}

TEST_F(StatusNotifierItemTest, clicksAndMenuEntriesReachTheApplication)
{
    startRegisteredItem();
    QSignalSpy activated(&m_item, &StatusItemBackend::activated);
    QSignalSpy pause(&m_item, &StatusItemBackend::pauseToggleRequested);
    QSignalSpy quit(&m_item, &StatusItemBackend::quitRequested);
    call(itemPath, itemInterface, QStringLiteral("Activate"), {12, 34});
    call(itemPath, itemInterface, QStringLiteral("SecondaryActivate"), {0, 0});
    for (const char* event : {"hovered", "clicked"})
        call(menuPath, menuInterface, QStringLiteral("Event"),
             {int(StatusNotifierMenu::quitId), QString::fromLatin1(event),
              QVariant::fromValue(QDBusVariant(0)), 0u});

    ASSERT_TRUE(waitUntil([&] { return activated.size() == 1 && pause.size() == 1 && quit.size() == 1; }));
    EXPECT_FALSE(waitUntil([&] { return quit.size() > 1; }, 100)) << "a hover is no click";
    EXPECT_EQ(activated.first().first().toPoint(), QPoint(12, 34));

    // Where a click opens the menu, its top shows the figures, fresh at each opening, and its
    // first entry opens the panel.
    LabelUpdateRecorder heard;
    m_panelBus.connect(m_itemBus.baseService(), menuPath, menuInterface, u"ItemsPropertiesUpdated"_s, &heard,
                       SLOT(record(QDBusMessage)));
    int openings = 0;
    QObject::connect(&m_item, &StatusItemBackend::menuAboutToShow, &m_item,
                     [&] { m_item.setMenuFigures({u"Today: %1m"_s.arg(++openings)}); });
    EXPECT_TRUE(call(menuPath, menuInterface, u"AboutToShow"_s, {0}).toBool());
    m_item.setMenuPaused(true);
    EXPECT_EQ(menuEntries(),
              (QStringList{u"[Today: 1m]"_s, u"-"_s, u"Open Panel"_s, u"Resume"_s, u"Pause for 15 Minutes"_s,
                           u"Pause for 1 Hour"_s, u"Pause Until Tomorrow"_s, u"-"_s, u"History…"_s,
                           u"Settings…"_s, u"-"_s, u"Quit"_s}));
    EXPECT_TRUE(call(menuPath, menuInterface, u"AboutToShow"_s, {0}).toBool()) << "changed: fetch again";
    EXPECT_EQ(menuEntries().first(), u"[Today: 2m]"_s);
    // A host keeping the layout learns new labels of known entries only from the signal.
    ASSERT_TRUE(waitUntil([&] { return heard.labels.size() == 3; })) << heard.labels.size();
    EXPECT_EQ(heard.labels.last().properties.value(u"label"_s), u"Today: 2m"_s);
    EXPECT_EQ(heard.signature, u"a(ia{sv})a(ias)"_s);
    QSignalSpy panel(&m_item, &StatusItemBackend::panelRequested);
    QSignalSpy pauseFor(&m_item, &StatusItemBackend::pauseForRequested);
    QSignalSpy pauseUntilTomorrow(&m_item, &StatusItemBackend::pauseUntilTomorrowRequested);
    for (const int id : {StatusNotifierMenu::openPanelId, StatusNotifierMenu::pauseQuarterHourId,
                         StatusNotifierMenu::pauseHourId, StatusNotifierMenu::pauseUntilTomorrowId})
        call(menuPath, menuInterface, u"Event"_s,
             {id, u"clicked"_s, QVariant::fromValue(QDBusVariant(0)), 0u});
    EXPECT_TRUE(waitUntil([&] { return panel.size() == 1 && pauseUntilTomorrow.size() == 1; }));
    ASSERT_EQ(pauseFor.size(), 2);
    EXPECT_EQ(pauseFor[0][0].toLongLong(), 900);
    EXPECT_EQ(pauseFor[1][0].toLongLong(), 3600);
}

// The host's process says whether it draws labels; only an unknown one leaves it to the desktop.
TEST(StatusNotifierHostTest, theHostsProcessDecidesWhetherTheLabelIsDrawn)
{
    const struct {
        const char* process;
        const char* desktops;
        bool drawsLabel;
    } hosts[] = {{"gnome-shell", "KDE", true},  {"plasmashell", "GNOME", false},
                 {"waybar", "", false},         {"panel-6-systray", "", false},
                 {"", "sway", false},           {"", "ubuntu:GNOME", true},
                 {"unknown-bar", "XFCE", false}};
    for (const auto& host : hosts) {
        DesktopSession session;
        session.desktops = QString::fromLatin1(host.desktops);
        EXPECT_EQ(StatusNotifierHost::drawsLabel(QString::fromLatin1(host.process), session), host.drawsLabel)
            << host.process << " on " << host.desktops;
    }
}

} // namespace

#include "StatusNotifierItemTest.moc"
