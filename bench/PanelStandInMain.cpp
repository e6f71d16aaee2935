#include "PanelStandIn.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

// The desktop panel's part in a footprint run (bench/footprint.sh): started on the private
// session bus before the application, ended by the script when the run is over.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    PanelStandIn panel(QDBusConnection::sessionBus());
    if (!panel.start()) {
        std::fprintf(stderr, "lumatick_panel_stand_in: cannot take the watcher's name on the session bus\n");
        return 1;
    }
    return QCoreApplication::exec();
}
