#pragma once

#include <QString>

// The names under which the application is known to the desktop: its settings and data
// folders, its bus name and control object, its log subsystem.
namespace ApplicationIdentity {

inline const QString organizationName = QStringLiteral("Brightlet");
inline const QString applicationName = QStringLiteral("Lumatick");
inline const QString bundleIdentifier = QStringLiteral("com.brightlet.Lumatick");
// The running instance owns this name on the session bus; a second start finds it there.
inline const QString busName = QStringLiteral("com.brightlet.Lumatick");
inline const QString controlObjectPath = QStringLiteral("/com/brightlet/Lumatick");
inline const QString controlInterface = QStringLiteral("com.brightlet.Lumatick");

} // namespace ApplicationIdentity
