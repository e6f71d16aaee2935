#include "FakeStatusNotifierWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

namespace {

const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

bool FakeStatusNotifierWatcher::start(QDBusConnection bus)
{
    return bus.registerObject(watcherPath, this, QDBusConnection::ExportAllContents) &&
           bus.registerService(watcherName);
}

void FakeStatusNotifierWatcher::stop(QDBusConnection bus)
{
    bus.unregisterService(watcherName);
    bus.unregisterObject(watcherPath);
}

// Items register either a bus name (their object is then at /StatusNotifierItem) or, as
// libayatana-appindicator does, an object path on the caller's own connection.
void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service)
{
    m_registrations.append(service);
    const bool isPath = service.startsWith(u'/');
    m_bus = connection();
    m_itemService = isPath ? message().service() : service;
    m_itemPath = isPath ? service : QStringLiteral("/StatusNotifierItem");
    follow();
    QDBusMessage getAll = QDBusMessage::createMethodCall(m_itemService, m_itemPath, propertiesInterface,
                                                         QStringLiteral("GetAll"));
    getAll << itemInterface;
    m_bus.asyncCall(getAll);
    Q_EMIT itemRegistered(m_itemService, m_itemPath);
}

// Subscribing makes the bus deliver the item's signals here, as it would to a panel.
void FakeStatusNotifierWatcher::follow()
{
    m_bus.connect(m_itemService, m_itemPath, itemInterface, QStringLiteral("NewIcon"), this,
                  SLOT(onNewIcon()));
    m_bus.connect(m_itemService, m_itemPath, itemInterface, QStringLiteral("NewToolTip"), this,
                  SLOT(onNewToolTip()));
    m_bus.connect(m_itemService, m_itemPath, itemInterface, QStringLiteral("XAyatanaNewLabel"), this,
                  SLOT(onNewLabel(QString, QString)));
}

void FakeStatusNotifierWatcher::readProperty(const QString& name)
{
    QDBusMessage get =
        QDBusMessage::createMethodCall(m_itemService, m_itemPath, propertiesInterface, QStringLiteral("Get"));
    get << itemInterface << name;
    m_bus.asyncCall(get);
}
