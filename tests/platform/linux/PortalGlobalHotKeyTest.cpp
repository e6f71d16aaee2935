#include "PortalGlobalHotKey.h"

#include "FakeGlobalShortcutsPortal.h"
#include "FakeServiceBus.h"
#include "LogCapture.h"
#include "QtPrinters.h"

#include <QDBusObjectPath>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString portalService = QString::fromLatin1(FakeGlobalShortcutsPortal::service);
const QString portalPath = QString::fromLatin1(FakeGlobalShortcutsPortal::path);
const QString logCategory = QStringLiteral("com.brightlet.Lumatick.DesktopDBus");

constexpr int keyCodeP = 33;
constexpr int keyCodeF5 = 71;
constexpr int controlAlt = GlobalHotKey::controlModifier | GlobalHotKey::optionModifier;

QString keyName(int keyCode)
{
    if (keyCode == keyCodeP)
        return QStringLiteral("p");
    if (keyCode == keyCodeF5)
        return QStringLiteral("F5");
    return {};
}

int linesIn(const LogCapture& log)
{
    int lines = 0;
    for (const LogCapture::Entry& entry : log.entries())
        lines += entry.category == logCategory ? 1 : 0;
    return lines;
}

class PortalGlobalHotKeyTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_bus.isRunning()); }

    FakeGlobalShortcutsPortal& startPortal()
    {
        return m_bus.publish(std::make_unique<FakeGlobalShortcutsPortal>(), portalService, portalPath);
    }

    // Registers and waits until the portal confirmed the binding.
    void registerAndBind(PortalGlobalHotKey& hotKey, int keyCode, int modifiers)
    {
        ASSERT_TRUE(hotKey.registerHotKey(keyCode, modifiers));
        ASSERT_TRUE(FakeServiceBus::waitFor([&] { return hotKey.isBound(); }));
    }

    void sendActivated(const QString& session, const QString& id)
    {
        // The hot key subscribes when its session is bound; the round trip makes sure the bus
        // has that match rule before the portal's signal goes out.
        m_bus.syncWithBus();
        m_bus.sendSignal(
            portalPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("Activated"),
            {QVariant::fromValue(QDBusObjectPath(session)), id, qulonglong(1234), QVariantMap()});
    }

    // Lets every signal already sent arrive, so "nothing more happened" can be asserted.
    void settle() { ASSERT_TRUE(m_bus.flushSignals()); }

    FakeServiceBus m_bus;
    PortalGlobalHotKey m_hotKey{m_bus.app(), &keyName};
    QSignalSpy m_pressed{&m_hotKey, &GlobalHotKey::pressed};
};

// --- trigger text ---

TEST(PortalGlobalHotKeyTrigger, modifiersPrecedeTheKeyInAFixedOrder)
{
    const int all = GlobalHotKey::commandModifier | GlobalHotKey::shiftModifier |
                    GlobalHotKey::optionModifier | GlobalHotKey::controlModifier;
    EXPECT_EQ(PortalGlobalHotKey::preferredTrigger(all, QStringLiteral("F5")),
              QStringLiteral("CTRL+ALT+SHIFT+LOGO+F5"));
    EXPECT_EQ(PortalGlobalHotKey::preferredTrigger(GlobalHotKey::commandModifier, QStringLiteral("p")),
              QStringLiteral("LOGO+p"));
    EXPECT_EQ(PortalGlobalHotKey::preferredTrigger(0, QStringLiteral("Pause")), QStringLiteral("Pause"));
}

TEST(PortalGlobalHotKeyTrigger, unnamedKeyHasNoTrigger)
{
    EXPECT_TRUE(PortalGlobalHotKey::preferredTrigger(controlAlt, QString()).isEmpty());
}

// --- availability ---

TEST_F(PortalGlobalHotKeyTest, absentPortalIsUnsupportedWithOneLogLine)
{
    LogCapture log;

    EXPECT_FALSE(m_hotKey.isSupported());
    EXPECT_FALSE(m_hotKey.registerHotKey(keyCodeP, controlAlt));
    EXPECT_FALSE(m_hotKey.isSupported());

    EXPECT_EQ(linesIn(log), 1);
}

TEST_F(PortalGlobalHotKeyTest, portalWithoutGlobalShortcutsIsUnsupported)
{
    // A portal frontend whose backend offers other interfaces only, as GNOME 43's does.
    m_bus.publish(std::make_unique<QObject>(), portalService, portalPath);
    LogCapture log;

    EXPECT_FALSE(m_hotKey.isSupported());
    EXPECT_FALSE(m_hotKey.registerHotKey(keyCodeP, controlAlt));
    EXPECT_EQ(linesIn(log), 1);
}

TEST_F(PortalGlobalHotKeyTest, versionZeroIsUnsupported)
{
    startPortal().setVersion(0);

    EXPECT_FALSE(m_hotKey.isSupported());
}

TEST_F(PortalGlobalHotKeyTest, versionOneIsSupported)
{
    startPortal();

    EXPECT_TRUE(m_hotKey.isSupported());
}

// --- binding ---

TEST_F(PortalGlobalHotKeyTest, createsASessionAndBindsTheToggleShortcutInIt)
{
    FakeGlobalShortcutsPortal& portal = startPortal();

    registerAndBind(m_hotKey, keyCodeP, controlAlt);

    ASSERT_EQ(portal.sessionRequests().size(), 1);
    const QVariantMap request = portal.sessionRequests().constFirst();
    EXPECT_FALSE(request.value(QStringLiteral("handle_token")).toString().isEmpty());
    EXPECT_FALSE(request.value(QStringLiteral("session_handle_token")).toString().isEmpty());
    ASSERT_EQ(portal.bindings().size(), 1);
    const FakeGlobalShortcutsPortal::Binding binding = portal.bindings().constFirst();
    EXPECT_EQ(binding.signature, QStringLiteral("oa(sa{sv})sa{sv}"));
    EXPECT_EQ(binding.session, portal.sessions().constFirst());
    EXPECT_EQ(m_hotKey.sessionHandle(), binding.session);
    EXPECT_TRUE(binding.parentWindow.isEmpty());
    ASSERT_EQ(binding.shortcuts.size(), 1);
    EXPECT_EQ(binding.shortcuts.constFirst().id, QStringLiteral("toggle-pause"));
    const QVariantMap options = binding.shortcuts.constFirst().options;
    EXPECT_EQ(options.value(QStringLiteral("description")).toString(),
              QStringLiteral("Pause or resume tracking"));
    EXPECT_EQ(options.value(QStringLiteral("preferred_trigger")).toString(), QStringLiteral("CTRL+ALT+p"));
}

TEST_F(PortalGlobalHotKeyTest, withoutKeyNamesThePortalIsLeftToAsk)
{
    FakeGlobalShortcutsPortal& portal = startPortal();
    PortalGlobalHotKey hotKey(m_bus.app());

    registerAndBind(hotKey, keyCodeP, controlAlt);

    ASSERT_EQ(portal.bindings().size(), 1);
    const QVariantMap options = portal.bindings().constFirst().shortcuts.constFirst().options;
    EXPECT_FALSE(options.contains(QStringLiteral("preferred_trigger")));
    EXPECT_TRUE(options.contains(QStringLiteral("description")));
}

TEST_F(PortalGlobalHotKeyTest, responseSentBeforeTheReplyIsNotMissed)
{
    startPortal().setRespondBeforeReplying(true);

    registerAndBind(m_hotKey, keyCodeP, controlAlt);
}

TEST_F(PortalGlobalHotKeyTest, refusedBindingIsLoggedAndNotBound)
{
    FakeGlobalShortcutsPortal& portal = startPortal();
    portal.setBindResponse(1);
    LogCapture log;

    ASSERT_TRUE(m_hotKey.registerHotKey(keyCodeP, controlAlt));
    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return portal.bindings().size() == 1; }));
    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return linesIn(log) == 1; }));
    EXPECT_FALSE(m_hotKey.isBound());

    sendActivated(portal.sessions().constFirst(), PortalGlobalHotKey::shortcutId());
    settle();
    EXPECT_EQ(m_pressed.count(), 0);
}

TEST_F(PortalGlobalHotKeyTest, registeringAgainRebindsInAFreshSession)
{
    FakeGlobalShortcutsPortal& portal = startPortal();
    registerAndBind(m_hotKey, keyCodeP, controlAlt);
    const QString firstSession = m_hotKey.sessionHandle();

    registerAndBind(m_hotKey, keyCodeF5, GlobalHotKey::shiftModifier);

    ASSERT_EQ(portal.bindings().size(), 2);
    const FakeGlobalShortcutsPortal::Binding rebinding = portal.bindings().constLast();
    EXPECT_NE(rebinding.session, firstSession);
    EXPECT_EQ(rebinding.session, m_hotKey.sessionHandle());
    EXPECT_EQ(rebinding.shortcuts.constFirst().options.value(QStringLiteral("preferred_trigger")).toString(),
              QStringLiteral("SHIFT+F5"));
    ASSERT_TRUE(
        FakeServiceBus::waitFor([&] { return portal.closedSessions() == QStringList{firstSession}; }));
}

TEST_F(PortalGlobalHotKeyTest, registeringTwiceAtOnceBindsTheNewestCombinationOnce)
{
    FakeGlobalShortcutsPortal& portal = startPortal();

    ASSERT_TRUE(m_hotKey.registerHotKey(keyCodeP, controlAlt));
    registerAndBind(m_hotKey, keyCodeF5, 0);
    settle();

    EXPECT_EQ(portal.sessions().size(), 1);
    ASSERT_EQ(portal.bindings().size(), 1);
    EXPECT_EQ(portal.bindings()
                  .constFirst()
                  .shortcuts.constFirst()
                  .options.value(QStringLiteral("preferred_trigger"))
                  .toString(),
              QStringLiteral("F5"));
}

// --- presses ---

TEST_F(PortalGlobalHotKeyTest, activationOfOurShortcutIsOnePress)
{
    startPortal();
    registerAndBind(m_hotKey, keyCodeP, controlAlt);

    sendActivated(m_hotKey.sessionHandle(), PortalGlobalHotKey::shortcutId());

    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return m_pressed.count() == 1; }));
    settle();
    EXPECT_EQ(m_pressed.count(), 1);
}

TEST_F(PortalGlobalHotKeyTest, activationOfOtherShortcutsOrSessionsIsIgnored)
{
    startPortal();
    registerAndBind(m_hotKey, keyCodeP, controlAlt);

    sendActivated(m_hotKey.sessionHandle(), QStringLiteral("open-window"));
    sendActivated(QStringLiteral("/org/freedesktop/portal/desktop/session/1_99/other"),
                  PortalGlobalHotKey::shortcutId());
    settle();

    EXPECT_EQ(m_pressed.count(), 0);
}

TEST_F(PortalGlobalHotKeyTest, theReplacedSessionNoLongerPresses)
{
    startPortal();
    registerAndBind(m_hotKey, keyCodeP, controlAlt);
    const QString firstSession = m_hotKey.sessionHandle();
    registerAndBind(m_hotKey, keyCodeF5, 0);

    sendActivated(firstSession, PortalGlobalHotKey::shortcutId());
    sendActivated(m_hotKey.sessionHandle(), PortalGlobalHotKey::shortcutId());
    settle();

    EXPECT_EQ(m_pressed.count(), 1);
}

TEST_F(PortalGlobalHotKeyTest, unregisteringClosesTheSessionAndStopsPresses)
{
    FakeGlobalShortcutsPortal& portal = startPortal();
    registerAndBind(m_hotKey, keyCodeP, controlAlt);
    const QString session = m_hotKey.sessionHandle();

    m_hotKey.unregisterHotKey();
    sendActivated(session, PortalGlobalHotKey::shortcutId());
    settle();

    EXPECT_EQ(m_pressed.count(), 0);
    EXPECT_FALSE(m_hotKey.isBound());
    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return portal.closedSessions() == QStringList{session}; }));
}

TEST_F(PortalGlobalHotKeyTest, sessionClosedByThePortalIsRecreatedAndRebound)
{
    FakeGlobalShortcutsPortal& portal = startPortal();
    registerAndBind(m_hotKey, keyCodeP, controlAlt);
    const QString first = m_hotKey.sessionHandle();

    m_bus.sendSignal(first, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"),
                     {QVariantMap()});

    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return portal.bindings().size() == 2 && m_hotKey.isBound(); }));
    EXPECT_NE(m_hotKey.sessionHandle(), first);
    sendActivated(m_hotKey.sessionHandle(), PortalGlobalHotKey::shortcutId());
    ASSERT_TRUE(FakeServiceBus::waitFor([&] { return m_pressed.count() == 1; }));
}

} // namespace
