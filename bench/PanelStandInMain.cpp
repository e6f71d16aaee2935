#include "FakeStatusNotifierWatcher.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

// The desktop panel's part in a footprint run (bench/footprint.sh): started on the private
// session bus before the application, ended by the script when the run is over. Each
// registration is reported on standard output, so a run can tell whether the measured program
// put an item on the panel.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    FakeStatusNotifierWatcher panel;
    QObject::connect(&panel, &FakeStatusNotifierWatcher::itemRegistered,
                     [](const QString& service, const QString& path) {
                         std::printf("item registered: %s%s\n", qPrintable(service), qPrintable(path));
                         std::fflush(stdout);
                     });
    if (!panel.start(QDBusConnection::sessionBus())) {
        std::fprintf(stderr, "lumatick_panel_stand_in: cannot take the watcher's name on the session bus\n");
        return 1;
    }
    return QCoreApplication::exec();
}
