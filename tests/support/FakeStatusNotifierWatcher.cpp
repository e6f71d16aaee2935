#include "FakeStatusNotifierWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

using namespace Qt::StringLiterals;

namespace {
const QString watcherPath = u"/StatusNotifierWatcher"_s;
const QString watcherName = u"org.kde.StatusNotifierWatcher"_s;
const QString itemInterface = u"org.kde.StatusNotifierItem"_s;
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
// libayatana-appindicator does, an object path on the caller's own connection. Subscribing
// makes the bus deliver the item's signals here, as it would to a panel.
void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service)
{
    m_registrations.append(service);
    const bool isPath = service.startsWith(u'/');
    m_bus = connection();
    m_itemService = isPath ? message().service() : service;
    m_itemPath = isPath ? service : u"/StatusNotifierItem"_s;
    m_bus.connect(m_itemService, m_itemPath, itemInterface, u"NewIcon"_s, this, SLOT(onNewIcon()));
    m_bus.connect(m_itemService, m_itemPath, itemInterface, u"NewToolTip"_s, this, SLOT(onNewToolTip()));
    m_bus.connect(m_itemService, m_itemPath, itemInterface, u"XAyatanaNewLabel"_s, this,
                  SLOT(onNewLabel(QString, QString)));
    m_bus.connect(m_itemService, m_itemPath, itemInterface, u"NewStatus"_s, this, SLOT(onNewStatus(QString)));
    readProperty();
    Q_EMIT itemRegistered(m_itemService, m_itemPath);
}

void FakeStatusNotifierWatcher::readProperty(const QString& name)
{
    QDBusMessage read =
        QDBusMessage::createMethodCall(m_itemService, m_itemPath, u"org.freedesktop.DBus.Properties"_s,
                                       name.isEmpty() ? u"GetAll"_s : u"Get"_s);
    read << itemInterface;
    if (!name.isEmpty())
        read << name;
    m_bus.asyncCall(read);
}
