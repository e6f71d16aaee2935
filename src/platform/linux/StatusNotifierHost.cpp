#include "StatusNotifierHost.h"

#include <QFile>
#include <QStringList>

namespace {

// gnome-shell draws the label with its AppIndicator extension; the Ayatana indicator service
// feeds applets (MATE, xfce4-indicator-plugin) that draw it too.
const QStringList labelDrawingHosts{QStringLiteral("gnome-shell"), QStringLiteral("indicator-appli"),
                                    QStringLiteral("ayatana-indicat")};
// Plasma 5 keeps the watcher in kded; Xfce's panel runs its tray plugin in a wrapper process
// that names itself "panel-<number>-systray".
const QStringList iconOnlyHosts{QStringLiteral("plasmashell"),  QStringLiteral("kded5"),
                                QStringLiteral("kded6"),        QStringLiteral("xfce4-panel"),
                                QStringLiteral("lxqt-panel"),   QStringLiteral("waybar"),
                                QStringLiteral("budgie-panel"), QStringLiteral("budgie-daemon")};
// When the host is none of the above, desktops whose panels are known to ignore labels.
const QStringList iconOnlyDesktops{QStringLiteral("KDE"),    QStringLiteral("XFCE"),
                                   QStringLiteral("Budgie"), QStringLiteral("LXQt"),
                                   QStringLiteral("sway"),   QStringLiteral("Hyprland")};

} // namespace

QString StatusNotifierHost::processName(quint32 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (pid == 0 || !comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(comm.readAll()).trimmed();
}

bool StatusNotifierHost::drawsLabel(const QString& processName, const DesktopSession& session)
{
    if (labelDrawingHosts.contains(processName))
        return true;
    if (iconOnlyHosts.contains(processName) || processName.startsWith(QStringLiteral("panel-")))
        return false;
    for (const QString& desktop : iconOnlyDesktops) {
        if (session.isDesktop(desktop))
            return false;
    }
    return true;
}
