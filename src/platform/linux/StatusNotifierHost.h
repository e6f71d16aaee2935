#pragma once

#include "DesktopSession.h"

#include <QString>

// Which program hosts the status items, and whether it draws the Ayatana label beside the
// icon. The process that owns the watcher's name tells more than the desktop's name: waybar
// under sway draws no label though nothing in the environment says so, and a GNOME session
// with another panel may not either.
class StatusNotifierHost {
public:
    // The short name of the process behind pid, as the kernel keeps it (at most 15 bytes);
    // empty when it has gone or cannot be read.
    static QString processName(quint32 pid);
    // From the process when it is one we know, otherwise from the session's desktop names.
    static bool drawsLabel(const QString& processName, const DesktopSession& session);
};
