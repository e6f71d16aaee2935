#include "PortalGlobalHotKey.h"

#include "DBusMock.h"
#include "LogCapture.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "WaitUntil.h"

#include <QDBusObjectPath>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const DBusMock::Service portal{u"org.freedesktop.portal.Desktop"_s, u"/org/freedesktop/portal/desktop"_s,
                               u"org.freedesktop.portal.GlobalShortcuts"_s};
constexpr int keyCodeP = 33;
constexpr int keyCodeF5 = 71;
constexpr int controlAlt = GlobalHotKey::controlModifier | GlobalHotKey::optionModifier;

QString keyName(int keyCode)
{
    return keyCode == keyCodeP ? u"p"_s : keyCode == keyCodeF5 ? u"F5"_s : QString();
}

class PortalGlobalHotKeyTest : public testing::Test {
protected:
    void startPortal(uint bindResponse = 0)
    {
        m_portal = std::make_unique<DBusMock>(m_bus, portal, QStringLiteral(LUMATICK_PORTAL_TEMPLATE),
                                              QVariantMap{{u"bind_response"_s, bindResponse}});
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
        return m_portal->call(u"ProposedTriggers"_s).arguments().value(0).toStringList();
    }

    void activate(const QString& session, const QString& id = PortalGlobalHotKey::shortcutId())
    {
        m_portal->emitSignal(
            portal.interface, u"Activated"_s, u"osta{sv}"_s,
            {QVariant::fromValue(QDBusObjectPath(session)), id, qulonglong(1), QVariantMap()});
    }

    PrivateBus m_bus;
    std::unique_ptr<DBusMock> m_portal;
    PortalGlobalHotKey m_hotKey{m_bus.connect(u"portal-app"_s), &keyName};
    QSignalSpy m_pressed{&m_hotKey, &GlobalHotKey::pressed};
};

TEST_F(PortalGlobalHotKeyTest, withoutThePortalTheKeyWorksOnlyInsideOurWindows)
{
    LogCapture log;
    EXPECT_FALSE(m_hotKey.isSupported());
    EXPECT_FALSE(m_hotKey.worksSystemWide());
    EXPECT_FALSE(m_hotKey.registerHotKey(keyCodeP, controlAlt));
    EXPECT_EQ(log.size(), 1);
}

// The recorded key is proposed with its modifiers in the portal's order, a new one proposed
// again in a fresh session, and presses count only from the session and shortcut that are ours
// now. A session the portal closes is recreated and bound again.
TEST_F(PortalGlobalHotKeyTest, recordedKeyIsProposedReboundAndKeptBound)
{
    startPortal();
    registerAndBind(keyCodeP, controlAlt);
    const QString first = m_hotKey.sessionHandle();
    EXPECT_TRUE(m_hotKey.worksSystemWide());
    registerAndBind(keyCodeF5, controlAlt | GlobalHotKey::shiftModifier | GlobalHotKey::commandModifier);

    EXPECT_EQ(proposedTriggers(),
              (QStringList{u"toggle-pause CTRL+ALT+p"_s, u"toggle-pause CTRL+ALT+SHIFT+LOGO+F5"_s}));
    EXPECT_NE(m_hotKey.sessionHandle(), first);
    EXPECT_TRUE(waitUntil([&] { return m_portal->callsOf(u"Close"_s).size() == 1; }));
    activate(first);
    activate(m_hotKey.sessionHandle(), u"open-window"_s);
    activate(m_hotKey.sessionHandle());
    ASSERT_TRUE(waitUntil([&] { return m_pressed.count() == 1; }));

    const QString second = m_hotKey.sessionHandle();
    m_portal->emitSignal(u"org.freedesktop.portal.Session"_s, u"Closed"_s, u"a{sv}"_s, {QVariantMap()},
                         second);
    ASSERT_TRUE(waitUntil([&] { return m_hotKey.isBound() && m_hotKey.sessionHandle() != second; }));
    activate(m_hotKey.sessionHandle());
    EXPECT_TRUE(waitUntil([&] { return m_pressed.count() == 2; }));
}

// A key without a name is offered without a trigger, for the user to choose in the dialog.
TEST_F(PortalGlobalHotKeyTest, refusedBindingIsToldAndNeverPresses)
{
    startPortal(1);
    ASSERT_TRUE(m_hotKey.registerHotKey(255, controlAlt));
    ASSERT_TRUE(waitUntil([&] { return !proposedTriggers().isEmpty() && !m_hotKey.worksSystemWide(); }));
    EXPECT_EQ(proposedTriggers(), QStringList{u"toggle-pause "_s});
    EXPECT_FALSE(m_hotKey.isBound());
    activate(m_hotKey.sessionHandle());
    EXPECT_FALSE(waitUntil([&] { return m_pressed.count() > 0; }, 300));
}

} // namespace
