#include "XcbKeyNames.h"

#include "XcbConnection.h"

#include <xcb/xcb_keysyms.h>

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>

XcbKeyNames::XcbKeyNames(XcbConnection& connection)
    : m_connection(connection)
{}

QString XcbKeyNames::nameOf(int keyCode) const
{
    if (!m_connection.isValid() || keyCode < 8 || keyCode > 255)
        return {};
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection.connection());
    const xcb_keysym_t symbol = xcb_key_symbols_get_keysym(symbols, static_cast<xcb_keycode_t>(keyCode), 0);
    xcb_key_symbols_free(symbols);
    const char* name = symbol != 0 ? XKeysymToString(symbol) : nullptr;
    return name ? QString::fromLatin1(name) : QString();
}
