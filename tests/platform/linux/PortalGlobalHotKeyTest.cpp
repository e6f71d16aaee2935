#include "PortalGlobalHotKey.h"

#include "DBusMock.h"
#include "LogCapture.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "WaitUntil.h"

#include <QDBusObjectPath>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const DBusMock::Service portal{QStringLiteral("org.freedesktop.portal.Desktop"),
                               QStringLiteral("/org/freedesktop/portal/desktop"),
                               QStringLiteral("org.freedesktop.portal.GlobalShortcuts")};
constexpr int keyCodeP = 33;
constexpr int keyCodeF5 = 71;
constexpr int controlAlt = GlobalHotKey::controlModifier | GlobalHotKey::optionModifier;

QString keyName(int keyCode)
{
    return keyCode == keyCodeP    ? QStringLiteral("p")
           : keyCode == keyCodeF5 ? QStringLiteral("F5")
                                  : QString();
}

class PortalGlobalHotKeyTest : public testing::Test {
protected:
    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("portal-app")); }

    void startPortal(uint bindResponse = 0)
    {
        m_portal = std::make_unique<DBusMock>(m_bus, QStringLiteral(LUMATICK_PORTAL_TEMPLATE), portal,
                                              QVariantMap{{QStringLiteral("bind_response"), bindResponse}});
        ASSERT_TRUE(m_portal->isRunning());
    }

    void registerAndBind(int keyCode, int modifiers)
    {
        ASSERT_TRUE(m_hotKey.registerHotKey(keyCode, modifiers));
        ASSERT_TRUE(waitUntil([&] { return m_hotKey.isBound(); }));
    }

    // "id trigger" of each shortcut the portal was asked to bind, in order.
    QStringList proposedTriggers() const
    {
        return m_portal->call(QStringLiteral("ProposedTriggers"), {}).arguments().value(0).toStringList();
    }

    void activate(const QString& session, const QString& id)
    {
        m_portal->emitSignal(
            portal.interface, QStringLiteral("Activated"), QStringLiteral("osta{sv}"),
            {QVariant::fromValue(QDBusObjectPath(session)), id, qulonglong(1), QVariantMap()});
    }

    PrivateBus m_bus;
    QDBusConnection m_app = m_bus.connect(QStringLiteral("portal-app"));
    std::unique_ptr<DBusMock> m_portal;
    PortalGlobalHotKey m_hotKey{m_app, &keyName};
    QSignalSpy m_pressed{&m_hotKey, &GlobalHotKey::pressed};
};

TEST(PortalGlobalHotKeyTrigger, modifiersPrecedeTheKeyInTheShortcutsSpecOrder)
{
    const int all = GlobalHotKey::commandModifier | GlobalHotKey::shiftModifier | controlAlt;
    EXPECT_EQ(PortalGlobalHotKey::preferredTrigger(all, QStringLiteral("F5")),
              QStringLiteral("CTRL+ALT+SHIFT+LOGO+F5"));
    EXPECT_EQ(PortalGlobalHotKey::preferredTrigger(0, QStringLiteral("Pause")), QStringLiteral("Pause"));
    EXPECT_TRUE(PortalGlobalHotKey::preferredTrigger(controlAlt, QString()).isEmpty());
}

TEST_F(PortalGlobalHotKeyTest, withoutThePortalTheKeyWorksOnlyInsideOurWindows)
{
    LogCapture log;
    EXPECT_FALSE(m_hotKey.isSupported());
    EXPECT_FALSE(m_hotKey.worksSystemWide());
    EXPECT_FALSE(m_hotKey.registerHotKey(keyCodeP, controlAlt));
    EXPECT_EQ(log.entries().size(), 1);
}

// The recorded key is proposed, a new one proposed again in a fresh session, and presses count
// only from the session and shortcut that are ours now.
TEST_F(PortalGlobalHotKeyTest, recordedKeyIsProposedAndRebound)
{
    startPortal();
    registerAndBind(keyCodeP, controlAlt);
    const QString first = m_hotKey.sessionHandle();
    EXPECT_TRUE(m_hotKey.worksSystemWide());
    registerAndBind(keyCodeF5, GlobalHotKey::shiftModifier);

    EXPECT_EQ(proposedTriggers(), (QStringList{QStringLiteral("toggle-pause CTRL+ALT+p"),
                                               QStringLiteral("toggle-pause SHIFT+F5")}));
    EXPECT_NE(m_hotKey.sessionHandle(), first);
    EXPECT_TRUE(waitUntil([&] { return m_portal->callsOf(QStringLiteral("Close")).size() == 1; }));
    activate(first, PortalGlobalHotKey::shortcutId());
    activate(m_hotKey.sessionHandle(), QStringLiteral("open-window"));
    activate(m_hotKey.sessionHandle(), PortalGlobalHotKey::shortcutId());
    ASSERT_TRUE(waitUntil([&] { return m_pressed.count() == 1; }));
    activate(m_hotKey.sessionHandle(), PortalGlobalHotKey::shortcutId());
    ASSERT_TRUE(waitUntil([&] { return m_pressed.count() == 2; }));
}

TEST_F(PortalGlobalHotKeyTest, refusedBindingIsToldAndNeverPresses)
{
    startPortal(1);
    ASSERT_TRUE(m_hotKey.registerHotKey(keyCodeP, controlAlt));
    ASSERT_TRUE(waitUntil([&] { return !m_hotKey.worksSystemWide(); }));
    EXPECT_FALSE(m_hotKey.isBound());
    activate(m_hotKey.sessionHandle(), PortalGlobalHotKey::shortcutId());
    EXPECT_FALSE(waitUntil([&] { return m_pressed.count() > 0; }, 300));
}

TEST_F(PortalGlobalHotKeyTest, sessionClosedByThePortalIsRecreatedAndRebound)
{
    startPortal();
    registerAndBind(keyCodeP, controlAlt);
    const QString first = m_hotKey.sessionHandle();

    m_portal->emitSignal(QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"),
                         QStringLiteral("a{sv}"), {QVariantMap()}, first);

    ASSERT_TRUE(waitUntil([&] { return m_hotKey.isBound() && m_hotKey.sessionHandle() != first; }));
    activate(m_hotKey.sessionHandle(), PortalGlobalHotKey::shortcutId());
    EXPECT_TRUE(waitUntil([&] { return m_pressed.count() == 1; }));
}

} // namespace
