#include "FakeDesktop.h"

#include "WaitUntil.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>

namespace {

QString name(const char* text)
{
    return QString::fromLatin1(text);
}

constexpr QDBusConnection::RegisterOptions exported =
    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties;

} // namespace

FakeDesktop::FakeDesktop()
    : m_fakeSession(m_sessionBus.connect(QStringLiteral("fake-session")))
    , m_fakeSystem(m_systemBus.connect(QStringLiteral("fake-system")))
    , m_appSession(m_sessionBus.connect(QStringLiteral("app-session")))
    , m_appSystem(m_systemBus.connect(QStringLiteral("app-system")))
{
    for (QDBusConnection* connection : {&m_appSession, &m_appSystem})
        connection->connect(QString(), QStringLiteral("/Marker"), QStringLiteral("org.example.Marker"),
                            QStringLiteral("Marker"), &m_marker, SLOT(arrived()));
    m_serviceThread.start();
}

FakeDesktop::~FakeDesktop()
{
    m_serviceThread.quit();
    m_serviceThread.wait();
    m_manager.reset();
    m_session.reset();
    m_mutter.reset();
    m_screenSaver.reset();
    for (const char* connection : {"fake-session", "fake-system", "app-session", "app-system"})
        QDBusConnection::disconnectFromBus(name(connection));
}

bool FakeDesktop::isRunning() const
{
    return m_fakeSession.isConnected() && m_fakeSystem.isConnected() && m_appSession.isConnected() &&
           m_appSystem.isConnected();
}

void FakeDesktop::adopt(QObject* fake)
{
    fake->moveToThread(&m_serviceThread);
}

FakeLogindManager& FakeDesktop::startLogind()
{
    m_manager = std::make_unique<FakeLogindManager>(name(sessionId), name(sessionPath));
    m_session = std::make_unique<FakeLogindSession>(name(sessionId));
    adopt(m_manager.get());
    adopt(m_session.get());
    m_fakeSystem.registerObject(QStringLiteral("/org/freedesktop/login1"), m_manager.get(), exported);
    // The alias and the real path lead to the same session; signals leave only from the real one.
    m_fakeSystem.registerObject(QStringLiteral("/org/freedesktop/login1/session/auto"), m_session.get(),
                                exported);
    m_fakeSystem.registerObject(name(sessionPath), m_session.get(), exported);
    m_fakeSystem.registerService(QStringLiteral("org.freedesktop.login1"));
    return *m_manager;
}

FakeMutterIdleMonitor& FakeDesktop::startMutter()
{
    m_mutter = std::make_unique<FakeMutterIdleMonitor>();
    adopt(m_mutter.get());
    m_fakeSession.registerObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), m_mutter.get(),
                                 exported);
    m_fakeSession.registerService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
    return *m_mutter;
}

void FakeDesktop::stopMutter()
{
    m_fakeSession.unregisterService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
    m_fakeSession.unregisterObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"));
}

FakeScreenSaver& FakeDesktop::startScreenSaver()
{
    m_screenSaver = std::make_unique<FakeScreenSaver>();
    adopt(m_screenSaver.get());
    m_fakeSession.registerObject(QStringLiteral("/ScreenSaver"), m_screenSaver.get(), exported);
    m_fakeSession.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), m_screenSaver.get(),
                                 exported);
    m_fakeSession.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
    m_fakeSession.registerService(QStringLiteral("org.gnome.ScreenSaver"));
    return *m_screenSaver;
}

void FakeDesktop::sendPrepareForSleep(bool goingToSleep)
{
    send(m_fakeSystem, QStringLiteral("/org/freedesktop/login1"),
         QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), {goingToSleep});
}

void FakeDesktop::sendLockedHint(bool locked, const QString& path)
{
    const QVariantMap changed{{QStringLiteral("LockedHint"), locked}};
    send(m_fakeSystem, path, QStringLiteral("org.freedesktop.DBus.Properties"),
         QStringLiteral("PropertiesChanged"),
         {QStringLiteral("org.freedesktop.login1.Session"), changed, QStringList()});
}

void FakeDesktop::sendLockedHintInvalidated()
{
    send(m_fakeSystem, name(sessionPath), QStringLiteral("org.freedesktop.DBus.Properties"),
         QStringLiteral("PropertiesChanged"),
         {QStringLiteral("org.freedesktop.login1.Session"), QVariantMap(),
          QStringList{QStringLiteral("LockedHint")}});
}

void FakeDesktop::sendScreenSaverActive(const QString& service, const QString& path, bool active)
{
    send(m_fakeSession, path, service, QStringLiteral("ActiveChanged"), {active});
}

void FakeDesktop::send(QDBusConnection& connection, const QString& path, const QString& interface,
                       const QString& name, const QVariantList& arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    connection.send(signal);
}

bool FakeDesktop::waitFor(const std::function<bool()>& condition)
{
    return waitUntil(condition, 2000, 10);
}

void FakeDesktop::syncWithBuses() const
{
    m_appSession.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
    m_appSystem.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
}

bool FakeDesktop::flushSignals()
{
    syncWithBuses();
    const int expected = m_marker.arrivals() + 2;
    for (QDBusConnection* connection : {&m_fakeSession, &m_fakeSystem})
        send(*connection, QStringLiteral("/Marker"), QStringLiteral("org.example.Marker"),
             QStringLiteral("Marker"), {});
    return waitFor([&] { return m_marker.arrivals() == expected; });
}
