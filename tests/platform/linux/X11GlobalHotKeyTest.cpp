#include "X11GlobalHotKey.h"

#include "X11Test.h"
#include "XcbReply.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <cstdio>

#include <xcb/xcb_keysyms.h>

namespace {

constexpr int controlAlt = GlobalHotKey::controlModifier | GlobalHotKey::optionModifier;

class X11GlobalHotKeyTest : public X11Test {
protected:
    void SetUp() override
    {
        X11Test::SetUp();
        if (HasFatalFailure())
            return;
        m_hotKey = std::make_unique<X11GlobalHotKey>(*m_connection);
        m_pressed = std::make_unique<QSignalSpy>(m_hotKey.get(), &GlobalHotKey::pressed);
    }

    int keyCodeOf(xcb_keysym_t keySym) const
    {
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection->connection());
        const XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols, keySym));
        xcb_key_symbols_free(symbols);
        return codes ? codes.get()[0] : 0;
    }

    // Types the keys, then makes sure every event they caused has reached our handlers.
    void press(const QString& keys)
    {
        xdotool({QStringLiteral("key"), keys});
        m_connection->sync();
    }

    bool numLockIsOn() const
    {
        xcb_connection_t* c = m_connection->connection();
        const XcbReply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(c, xcb_query_pointer(c, m_connection->rootWindow()), nullptr));
        return pointer && (pointer->mask & XCB_MOD_MASK_2);
    }

    // Whether a second client can grab the combination (with every lock variant).
    bool isFreeForOtherClients(int keyCode, int modifiers) const
    {
        XcbConnection otherClient(m_server.displayName());
        X11GlobalHotKey other(otherClient);
        return other.registerHotKey(keyCode, modifiers);
    }

    std::unique_ptr<X11GlobalHotKey> m_hotKey;
    std::unique_ptr<QSignalSpy> m_pressed;
};

TEST_F(X11GlobalHotKeyTest, storedModifierBitsMapToX11Modifiers)
{
    EXPECT_EQ(X11GlobalHotKey::x11Modifiers(GlobalHotKey::controlModifier), XCB_MOD_MASK_CONTROL);
    EXPECT_EQ(X11GlobalHotKey::x11Modifiers(GlobalHotKey::optionModifier), XCB_MOD_MASK_1);
    EXPECT_EQ(X11GlobalHotKey::x11Modifiers(GlobalHotKey::shiftModifier), XCB_MOD_MASK_SHIFT);
    EXPECT_EQ(X11GlobalHotKey::x11Modifiers(GlobalHotKey::commandModifier), XCB_MOD_MASK_4);
    EXPECT_EQ(X11GlobalHotKey::x11Modifiers(controlAlt | GlobalHotKey::shiftModifier),
              XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT);
    EXPECT_EQ(X11GlobalHotKey::x11Modifiers(0), 0);
}

TEST_F(X11GlobalHotKeyTest, grabbedCombinationFiresOncePerPress)
{
    EXPECT_TRUE(m_hotKey->isSupported());
    ASSERT_TRUE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
    press(QStringLiteral("ctrl+alt+p"));
    EXPECT_TRUE(waitUntil([&] { return m_pressed->count() >= 1; }));
    EXPECT_EQ(m_pressed->count(), 1);

    press(QStringLiteral("ctrl+alt+p"));
    EXPECT_TRUE(waitUntil([&] { return m_pressed->count() >= 2; }));
    EXPECT_EQ(m_pressed->count(), 2);
}

TEST_F(X11GlobalHotKeyTest, holdingTheCombinationFiresOnlyOnce)
{
    ASSERT_TRUE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
    xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+alt+p")});
    ASSERT_TRUE(waitUntil([&] { return m_pressed->count() >= 1; }));
    // Held keys repeat after the server's delay (660 ms by default, then 25 per second); a
    // repeat could only show up as a second press, so keep watching well past that delay.
    EXPECT_FALSE(waitUntil([&] { return m_pressed->count() > 1; }, 1500));
    xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl+alt+p")});
    m_connection->sync();
    EXPECT_EQ(m_pressed->count(), 1);
}

TEST_F(X11GlobalHotKeyTest, otherCombinationsDoNotFire)
{
    ASSERT_TRUE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
    press(QStringLiteral("ctrl+p"));
    press(QStringLiteral("p"));
    press(QStringLiteral("ctrl+alt+o"));
    press(QStringLiteral("ctrl+alt+shift+p"));
    EXPECT_EQ(m_pressed->count(), 0);
}

TEST_F(X11GlobalHotKeyTest, firesWhileNumLockAndCapsLockAreOn)
{
    ASSERT_TRUE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
    press(QStringLiteral("Num_Lock"));
    ASSERT_TRUE(numLockIsOn());
    press(QStringLiteral("ctrl+alt+p"));
    EXPECT_TRUE(waitUntil([&] { return m_pressed->count() == 1; }));

    press(QStringLiteral("Caps_Lock"));
    press(QStringLiteral("ctrl+alt+p"));
    EXPECT_TRUE(waitUntil([&] { return m_pressed->count() == 2; }));
}

TEST_F(X11GlobalHotKeyTest, registeringAgainReplacesTheEarlierCombination)
{
    ASSERT_TRUE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
    ASSERT_TRUE(m_hotKey->registerHotKey(keyCodeOf('k'), GlobalHotKey::controlModifier));
    press(QStringLiteral("ctrl+alt+p"));
    EXPECT_EQ(m_pressed->count(), 0);

    press(QStringLiteral("ctrl+k"));
    EXPECT_TRUE(waitUntil([&] { return m_pressed->count() == 1; }));
    EXPECT_TRUE(isFreeForOtherClients(keyCodeOf('p'), controlAlt)) << "the old grab was left behind";
}

TEST_F(X11GlobalHotKeyTest, unregisteredCombinationNoLongerFires)
{
    ASSERT_TRUE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
    m_hotKey->unregisterHotKey();
    press(QStringLiteral("ctrl+alt+p"));
    EXPECT_EQ(m_pressed->count(), 0);
    EXPECT_TRUE(isFreeForOtherClients(keyCodeOf('p'), controlAlt));
}

TEST_F(X11GlobalHotKeyTest, combinationHeldByAnotherClientIsRefused)
{
    XcbConnection otherClient(m_server.displayName());
    X11GlobalHotKey other(otherClient);
    ASSERT_TRUE(other.registerHotKey(keyCodeOf('p'), controlAlt));

    EXPECT_FALSE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
    // A refused grab leaves nothing behind, so the combination is free once the holder lets go.
    other.unregisterHotKey();
    EXPECT_TRUE(m_hotKey->registerHotKey(keyCodeOf('p'), controlAlt));
}

TEST_F(X11GlobalHotKeyTest, keyCodesOutsideTheX11RangeAreRefused)
{
    EXPECT_FALSE(m_hotKey->registerHotKey(0, controlAlt));
    EXPECT_FALSE(m_hotKey->registerHotKey(256, controlAlt));
}

TEST(X11GlobalHotKeyWithoutDisplay, isNotSupported)
{
    XcbConnection connection(QStringLiteral(":4999"));
    X11GlobalHotKey hotKey(connection);
    EXPECT_FALSE(hotKey.isSupported());
    EXPECT_FALSE(hotKey.registerHotKey(33, controlAlt));
}

} // namespace
