#include "DesktopSession.h"

#include <QStringList>
#include <QtGlobal>

DesktopSession DesktopSession::fromEnvironment()
{
    DesktopSession session;
    const QString type = qEnvironmentVariable("XDG_SESSION_TYPE");
    // A Qt application may run on xcb under Xwayland, so the session type, not Qt's platform
    // plugin, says which compositor the user has.
    if (type == u"wayland" || (type.isEmpty() && qEnvironmentVariableIsSet("WAYLAND_DISPLAY")))
        session.type = Type::Wayland;
    else if (type == u"x11" || (type.isEmpty() && qEnvironmentVariableIsSet("DISPLAY")))
        session.type = Type::X11;
    session.desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    session.hasX11Display = qEnvironmentVariableIsSet("DISPLAY");
    session.runningImage = qEnvironmentVariable("APPIMAGE");
    session.userQtPlatform = qEnvironmentVariable("QT_QPA_PLATFORM");
    return session;
}

QString DesktopSession::preferredQtPlatform() const
{
    if (!userQtPlatform.isEmpty() || type != Type::Wayland || !hasX11Display)
        return {};
    // Wayland stays as the fallback for an Xwayland that does not answer.
    return QStringLiteral("xcb;wayland");
}

bool DesktopSession::isDesktop(const QString& name) const
{
    return desktops.split(u':', Qt::SkipEmptyParts).contains(name, Qt::CaseInsensitive);
}
