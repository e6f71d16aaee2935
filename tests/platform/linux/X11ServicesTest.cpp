#include "X11GlobalHotKey.h"
#include "XcbConnection.h"
#include "XcbIdleTimeSource.h"
#include "XcbReply.h"

#include "QtPrinters.h"
#include "WaitUntil.h"
#include "XvfbServer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <xcb/xcb_keysyms.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int controlAlt = GlobalHotKey::controlModifier | GlobalHotKey::optionModifier;

// A private Xvfb per test, driven by xdotool, with our own connection to it.
class X11ServicesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_connection.isValid()) << "Xvfb did not start"; }

    int keyCodeOf(xcb_keysym_t keySym) const
    {
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection.connection());
        const XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols, keySym));
        xcb_key_symbols_free(symbols);
        return codes ? codes.get()[0] : 0;
    }

    // Types the keys, then makes sure every event they caused has reached our handlers.
    void press(const QString& keys)
    {
        ASSERT_TRUE(m_server.run(u"xdotool"_s, {u"key"_s, keys})) << keys.toStdString();
        m_connection.sync();
    }

    XvfbServer m_server;
    XcbConnection m_connection{m_server.displayName()};
};

// The key fires once per press, with NumLock and CapsLock on too (without grabbing their
// variants it would silently stop working), and nothing else fires it.
TEST_F(X11ServicesTest, grabbedKeyFiresOncePerPressWhateverTheLocks)
{
    X11GlobalHotKey hotKey(m_connection);
    QSignalSpy pressed(&hotKey, &GlobalHotKey::pressed);
    ASSERT_TRUE(hotKey.registerHotKey(keyCodeOf('p'), controlAlt));
    EXPECT_TRUE(hotKey.worksSystemWide());
    for (const char* keys : {"ctrl+p", "p", "ctrl+alt+o", "ctrl+alt+shift+p"})
        press(QString::fromLatin1(keys));
    press(u"ctrl+alt+p"_s);
    ASSERT_TRUE(waitUntil([&] { return pressed.count() == 1; }));
    press(u"Num_Lock"_s);
    press(u"ctrl+alt+p"_s);
    ASSERT_TRUE(waitUntil([&] { return pressed.count() == 2; }));
    press(u"Caps_Lock"_s);
    press(u"ctrl+alt+p"_s);
    ASSERT_TRUE(waitUntil([&] { return pressed.count() == 3; }));
    EXPECT_FALSE(waitUntil([&] { return pressed.count() > 3; }, 300));
}

// A combination another program holds is refused and said so; re-registering leaves no grab
// behind, so the old combination is free for others.
TEST_F(X11ServicesTest, combinationHeldElsewhereIsRefusedAndOldGrabsAreReleased)
{
    XcbConnection otherClient(m_server.displayName());
    X11GlobalHotKey other(otherClient);
    X11GlobalHotKey hotKey(m_connection);
    ASSERT_TRUE(other.registerHotKey(keyCodeOf('p'), controlAlt));
    EXPECT_FALSE(hotKey.registerHotKey(keyCodeOf('p'), controlAlt));
    EXPECT_FALSE(hotKey.worksSystemWide());
    EXPECT_FALSE(hotKey.registerHotKey(256, controlAlt));

    other.unregisterHotKey();
    ASSERT_TRUE(hotKey.registerHotKey(keyCodeOf('p'), controlAlt));
    ASSERT_TRUE(hotKey.registerHotKey(keyCodeOf('k'), GlobalHotKey::controlModifier));
    EXPECT_TRUE(other.registerHotKey(keyCodeOf('p'), controlAlt)) << "the old grab was left behind";
}

TEST_F(X11ServicesTest, idleTimeGrowsWithoutInputAndDropsAfterPointerMotion)
{
    ASSERT_TRUE(XcbIdleTimeSource::isAvailable(m_connection));
    XcbIdleTimeSource source(m_connection);
    const auto idle = [&] { return source.secondsSinceLastInput().value_or(-1.0); };
    ASSERT_TRUE(waitUntil([&] { return idle() >= 1.0; }));
    // Two moves, so the pointer really moves whatever its starting position.
    for (const char* position : {"10", "20"})
        ASSERT_TRUE(m_server.run(
            u"xdotool"_s, {u"mousemove"_s, QString::fromLatin1(position), QString::fromLatin1(position)}));
    EXPECT_GE(idle(), 0.0);
    EXPECT_LT(idle(), 0.9);
}

TEST(X11WithoutDisplay, servicesAnswerNothingInsteadOfCrashing)
{
    XcbConnection connection(u":4999"_s);
    X11GlobalHotKey hotKey(connection);
    EXPECT_FALSE(hotKey.isSupported());
    EXPECT_FALSE(hotKey.registerHotKey(33, controlAlt));
    EXPECT_EQ(XcbIdleTimeSource(connection).secondsSinceLastInput(), std::nullopt);
}

} // namespace
