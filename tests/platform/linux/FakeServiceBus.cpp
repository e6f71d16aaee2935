#include "FakeServiceBus.h"

#include "WaitUntil.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>

namespace {

constexpr QDBusConnection::RegisterOptions exported =
    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties;

QString fakeConnectionName()
{
    return QStringLiteral("fake-desktop-services");
}

QString appConnectionName()
{
    return QStringLiteral("app-desktop-services");
}

QString markerPath()
{
    return QStringLiteral("/Marker");
}

QString markerInterface()
{
    return QStringLiteral("org.example.Marker");
}

} // namespace

FakeServiceBus::FakeServiceBus()
    : m_fake(m_bus.connect(fakeConnectionName()))
    , m_app(m_bus.connect(appConnectionName()))
{
    m_app.connect(QString(), markerPath(), markerInterface(), QStringLiteral("Marker"), &m_marker,
                  SLOT(arrived()));
    m_serviceThread.start();
}

FakeServiceBus::~FakeServiceBus()
{
    m_serviceThread.quit();
    m_serviceThread.wait();
    m_fakes.clear();
    QDBusConnection::disconnectFromBus(fakeConnectionName());
    QDBusConnection::disconnectFromBus(appConnectionName());
}

bool FakeServiceBus::isRunning() const
{
    return m_fake.isConnected() && m_app.isConnected();
}

void FakeServiceBus::adopt(std::unique_ptr<QObject> fake, const QString& service, const QString& path)
{
    fake->moveToThread(&m_serviceThread);
    m_fake.registerObject(path, fake.get(), exported);
    m_fake.registerService(service);
    m_fakes.push_back(std::move(fake));
}

void FakeServiceBus::withdraw(const QString& service)
{
    m_fake.unregisterService(service);
}

void FakeServiceBus::sendSignal(const QString& path, const QString& interface, const QString& name,
                                const QVariantList& arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    m_fake.send(signal);
}

bool FakeServiceBus::waitFor(const std::function<bool()>& condition)
{
    return waitUntil(condition, 2000, 10);
}

void FakeServiceBus::syncWithBus() const
{
    m_app.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
}

// Signals from one sender arrive in order, so once the marker is in, everything the fakes sent
// before it has been handled. The round trip first makes sure the app's match rules are active.
bool FakeServiceBus::flushSignals()
{
    syncWithBus();
    const int expected = m_marker.arrivals() + 1;
    sendSignal(markerPath(), markerInterface(), QStringLiteral("Marker"), {});
    return waitFor([&] { return m_marker.arrivals() == expected; });
}
