#pragma once

#include <QString>

class XcbConnection;

// Names keys the way XKB does ("p", "F5", "Return") from the X key codes we record, for the
// global shortcuts portal, which takes its trigger in those names. Asks the X server for its
// current keyboard map, so the name follows the user's layout.
class XcbKeyNames {
public:
    // The connection must outlive this object.
    explicit XcbKeyNames(XcbConnection& connection);

    // Empty when the key has no symbol or the server cannot be reached.
    QString nameOf(int keyCode) const;

private:
    XcbConnection& m_connection;
};
