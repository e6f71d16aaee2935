#include "DirectSignalSender.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

using namespace Qt::StringLiterals;

// The least a program can cost that shows a counter with seconds on the panel: it puts an item
// on the panel, wakes once a second and sends one label signal, and does nothing else (no window
// system, no store, no properties). bench/footprint.sh measures it beside the counter, in the same
// run, as the floor of its idle figures. It sends its label the way the counter does.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString itemPath = u"/StatusNotifierItem"_s;
    bus.send(QDBusMessage::createMethodCall(u"org.kde.StatusNotifierWatcher"_s, u"/StatusNotifierWatcher"_s,
                                            u"org.kde.StatusNotifierWatcher"_s,
                                            u"RegisterStatusNotifierItem"_s)
             << itemPath);
    DirectSignalSender label(bus);
    int seconds = 0;
    QTimer tick;
    tick.setTimerType(Qt::CoarseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        label.send(itemPath, u"org.kde.StatusNotifierItem"_s, u"XAyatanaNewLabel"_s,
                   {u"%1s"_s.arg(++seconds), QString()});
    });
    tick.start(1000);
    return QCoreApplication::exec();
}
