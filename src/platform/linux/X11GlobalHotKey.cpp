#include "X11GlobalHotKey.h"

#include "X11Logging.h"
#include "XcbConnection.h"
#include "XcbReply.h"

#include <QList>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <memory>

namespace {

constexpr xcb_keysym_t numLockKeySym = 0xff7f;

struct KeySymbolsFree {
    void operator()(xcb_key_symbols_t* symbols) const { xcb_key_symbols_free(symbols); }
};

// `keys` ends with XCB_NO_SYMBOL, as xcb_key_symbols_get_keycode returns it.
bool isAmong(xcb_keycode_t key, const xcb_keycode_t* keys)
{
    for (; *keys != XCB_NO_SYMBOL; ++keys) {
        if (key != 0 && *keys == key)
            return true;
    }
    return false;
}

constexpr quint16 ignoredLocks(quint16 numLock)
{
    return static_cast<quint16>(XCB_MOD_MASK_LOCK | numLock);
}

// Every state the grabbed combination can arrive with while Caps Lock or Num Lock is on.
QList<quint16> lockVariants(quint16 numLock)
{
    QList<quint16> variants{0, XCB_MOD_MASK_LOCK};
    if (numLock != 0)
        variants << numLock << static_cast<quint16>(numLock | XCB_MOD_MASK_LOCK);
    return variants;
}

} // namespace

X11GlobalHotKey::X11GlobalHotKey(XcbConnection& connection, QObject* parent)
    : GlobalHotKey(parent)
    , m_connection(connection)
{
    connect(&m_connection, &XcbConnection::keyPressed, this, &X11GlobalHotKey::onKeyPressed);
    connect(&m_connection, &XcbConnection::mappingChanged, this, &X11GlobalHotKey::onMappingChanged);
}

X11GlobalHotKey::~X11GlobalHotKey()
{
    unregisterHotKey();
}

quint16 X11GlobalHotKey::x11Modifiers(int modifiers)
{
    quint16 mask = 0;
    if (modifiers & controlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & optionModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & shiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & commandModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

bool X11GlobalHotKey::isSupported() const
{
    return m_connection.isValid();
}

bool X11GlobalHotKey::registerHotKey(int keyCode, int modifiers)
{
    unregisterHotKey();
    // X key codes are 8..255; 0 would mean "any key".
    m_refused = !isSupported() || keyCode < 8 || keyCode > 255;
    if (m_refused)
        return false;
    m_numLock = numLockMask();
    const Combination combination{static_cast<quint8>(keyCode), x11Modifiers(modifiers)};
    m_refused = !grab(combination);
    if (m_refused)
        return false;
    m_grabbed = combination;
    return true;
}

void X11GlobalHotKey::unregisterHotKey()
{
    if (!m_grabbed)
        return;
    ungrab(*m_grabbed);
    m_grabbed.reset();
}

bool X11GlobalHotKey::grab(const Combination& combination)
{
    xcb_connection_t* c = m_connection.connection();
    QList<xcb_void_cookie_t> cookies;
    for (const quint16 variant : lockVariants(m_numLock))
        cookies << xcb_grab_key_checked(c, 1, m_connection.rootWindow(),
                                        static_cast<quint16>(combination.modifiers | variant),
                                        combination.keyCode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    // Checked requests report a grab held by another client (BadAccess) right here.
    int errorCode = 0;
    for (const xcb_void_cookie_t cookie : cookies) {
        const XcbReply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        if (error && errorCode == 0)
            errorCode = error->error_code;
    }
    if (errorCode == 0)
        return true;
    qCInfo(lcX11).nospace() << "cannot grab key " << combination.keyCode << " with modifiers 0x" << Qt::hex
                            << combination.modifiers << Qt::dec << ": X error " << errorCode
                            << (errorCode == XCB_ACCESS ? " (held by another client)" : "");
    // Drop the variants that did succeed, so nothing half-grabbed stays behind.
    ungrab(combination);
    return false;
}

void X11GlobalHotKey::ungrab(const Combination& combination)
{
    xcb_connection_t* c = m_connection.connection();
    for (const quint16 variant : lockVariants(m_numLock))
        xcb_ungrab_key(c, combination.keyCode, m_connection.rootWindow(),
                       static_cast<quint16>(combination.modifiers | variant));
    xcb_flush(c);
}

quint16 X11GlobalHotKey::numLockMask() const
{
    // Num Lock usually sits on Mod2, but the modifier map decides, so look it up there.
    xcb_connection_t* c = m_connection.connection();
    const XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    const std::unique_ptr<xcb_key_symbols_t, KeySymbolsFree> symbols(xcb_key_symbols_alloc(c));
    if (!mapping || !symbols)
        return 0;
    const XcbReply<xcb_keycode_t> numLockKeys(xcb_key_symbols_get_keycode(symbols.get(), numLockKeySym));
    if (!numLockKeys)
        return 0;
    const xcb_keycode_t* modifierKeys = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (isAmong(modifierKeys[modifier * perModifier + i], numLockKeys.get()))
                return static_cast<quint16>(1u << modifier);
        }
    }
    return 0;
}

void X11GlobalHotKey::onKeyPressed(quint8 keyCode, quint16 state)
{
    if (!m_grabbed || keyCode != m_grabbed->keyCode)
        return;
    const auto significant = static_cast<quint16>(state & ~ignoredLocks(m_numLock) & 0xff);
    if (significant == m_grabbed->modifiers)
        Q_EMIT pressed();
}

void X11GlobalHotKey::onMappingChanged()
{
    // X also reports a mapping change whenever input switches between keyboards; only a move of
    // Num Lock to another modifier calls for grabbing again.
    if (!m_grabbed)
        return;
    const quint16 numLock = numLockMask();
    if (numLock == m_numLock)
        return;
    const Combination combination = *m_grabbed;
    ungrab(combination);
    m_grabbed.reset();
    m_numLock = numLock;
    if (grab(combination))
        m_grabbed = combination;
}
