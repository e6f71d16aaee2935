#include "DesktopSession.h"

#include <QStringList>

DesktopSession DesktopSession::fromEnvironment(const QProcessEnvironment& environment)
{
    DesktopSession session;
    const QString type = environment.value(QStringLiteral("XDG_SESSION_TYPE"));
    // A Qt application may run on xcb under Xwayland, so the session type, not Qt's platform
    // plugin, says which compositor the user has.
    if (type == u"wayland" || (type.isEmpty() && environment.contains(QStringLiteral("WAYLAND_DISPLAY"))))
        session.type = Type::Wayland;
    else if (type == u"x11" || (type.isEmpty() && environment.contains(QStringLiteral("DISPLAY"))))
        session.type = Type::X11;
    session.desktops = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    session.hasX11Display = environment.contains(QStringLiteral("DISPLAY"));
    session.runningImage = environment.value(QStringLiteral("APPIMAGE"));
    session.userQtPlatform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
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
