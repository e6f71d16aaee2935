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
    return session;
}

bool DesktopSession::isDesktop(const QString& name) const
{
    return desktops.split(u':', Qt::SkipEmptyParts).contains(name, Qt::CaseInsensitive);
}
