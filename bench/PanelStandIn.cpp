#include "PanelStandIn.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

#include <cstdio>

namespace {

const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

PanelStandIn::PanelStandIn(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{}

bool PanelStandIn::start()
{
    return m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                QDBusConnection::ExportAllContents) &&
           m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

// Items register either a bus name (their object is then at /StatusNotifierItem) or, as
// libayatana-appindicator does, an object path on the caller's own connection.
void PanelStandIn::RegisterStatusNotifierItem(const QString& service)
{
    const bool isPath = service.startsWith(u'/');
    m_itemService = isPath ? message().service() : service;
    m_itemPath = isPath ? service : itemPath;
    const QString registration = m_itemService + m_itemPath;
    m_registrations.append(registration);
    std::printf("item registered: %s\n", qPrintable(registration));
    std::fflush(stdout);
    follow();
    QDBusMessage getAll = QDBusMessage::createMethodCall(m_itemService, m_itemPath, propertiesInterface,
                                                         QStringLiteral("GetAll"));
    getAll << itemInterface;
    m_bus.asyncCall(getAll);
}

// Subscribing makes the bus deliver the item's signals here, as it would to a panel.
void PanelStandIn::follow()
{
    m_bus.connect(m_itemService, m_itemPath, itemInterface, QStringLiteral("NewIcon"), this,
                  SLOT(onNewIcon()));
    m_bus.connect(m_itemService, m_itemPath, itemInterface, QStringLiteral("NewToolTip"), this,
                  SLOT(onNewToolTip()));
    m_bus.connect(m_itemService, m_itemPath, itemInterface, QStringLiteral("XAyatanaNewLabel"), this,
                  SLOT(onNewLabel(QString, QString)));
}

void PanelStandIn::onNewIcon()
{
    readProperty(QStringLiteral("IconPixmap"));
}

void PanelStandIn::onNewToolTip()
{
    readProperty(QStringLiteral("ToolTip"));
}

void PanelStandIn::readProperty(const QString& name)
{
    QDBusMessage get =
        QDBusMessage::createMethodCall(m_itemService, m_itemPath, propertiesInterface, QStringLiteral("Get"));
    get << itemInterface << name;
    m_bus.asyncCall(get);
}
