#pragma once

#include <QProcessEnvironment>
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
    // QT_QPA_PLATFORM as the user set it; empty when unset.
    QString userQtPlatform;

    static DesktopSession
    fromEnvironment(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    bool isDesktop(const QString& name) const;
    // The Qt platform plugins our windows should try, in order, or empty to leave the choice to
    // Qt. In a Wayland session with Xwayland, xcb comes first: a Wayland client cannot place
    // its own windows, so the panel would open wherever the compositor likes instead of at the
    // item. The user's own QT_QPA_PLATFORM always wins.
    QString preferredQtPlatform() const;
};
