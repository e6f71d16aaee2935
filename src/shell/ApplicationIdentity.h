#pragma once

#include <QString>

// The names under which the application is known to the desktop: its settings and data
// folders, its menu entry and icon, its bus name and control object, its log subsystem.
namespace ApplicationIdentity {

inline const QString organizationName = QStringLiteral("Brightlet");
inline const QString applicationName = QStringLiteral("Lumatick");
inline const QString bundleIdentifier = QStringLiteral("com.brightlet.Lumatick");
// The menu entry (lumatick.desktop), which names the themed icon: desktops find our windows'
// icon and name through it (on Wayland the desktop-file name is the app id).
inline const QString desktopFileName = QStringLiteral("lumatick");
// The running instance owns this name on the session bus; a second start finds it there.
inline const QString busName = QStringLiteral("com.brightlet.Lumatick");
inline const QString controlObjectPath = QStringLiteral("/com/brightlet/Lumatick");
inline const QString controlInterface = QStringLiteral("com.brightlet.Lumatick");
// Our GNOME Shell extension owns this name while it shows the counter in the top bar; a tray
// item would then show it twice.
inline const QString shellExtensionBusName = QStringLiteral("com.brightlet.Lumatick.GnomeExtension");
inline const QString shellExtensionUuid = QStringLiteral("lumatick@brightlet.com");

} // namespace ApplicationIdentity
