#pragma once

#include <QString>

// What kind of graphical session we run in, read from the environment the session manager
// sets. Services are still probed one by one; this only orders the probing and the log.
struct DesktopSession {
    enum class Type { X11, Wayland, Unknown };

    Type type = Type::Unknown;
    // XDG_CURRENT_DESKTOP, a colon-separated list such as "ubuntu:GNOME".
    QString desktops;
    bool hasX11Display = false;
    // APPIMAGE: the image file the running copy was started from, when it runs from one.
    QString runningImage;

    static DesktopSession fromEnvironment();
    bool isDesktop(const QString& name) const;
};
