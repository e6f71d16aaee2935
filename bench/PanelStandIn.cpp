#include "PanelStandIn.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

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

void PanelStandIn::RegisterStatusNotifierItem(const QString& service)
{
    m_registrations.append(service);
    m_itemService = service;
    follow(service);
    QDBusMessage getAll =
        QDBusMessage::createMethodCall(service, itemPath, propertiesInterface, QStringLiteral("GetAll"));
    getAll << itemInterface;
    m_bus.asyncCall(getAll);
}

// Subscribing makes the bus deliver the item's signals here, as it would to a panel.
void PanelStandIn::follow(const QString& service)
{
    m_bus.connect(service, itemPath, itemInterface, QStringLiteral("NewIcon"), this, SLOT(onNewIcon()));
    m_bus.connect(service, itemPath, itemInterface, QStringLiteral("NewToolTip"), this, SLOT(onNewToolTip()));
    m_bus.connect(service, itemPath, itemInterface, QStringLiteral("XAyatanaNewLabel"), this,
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
        QDBusMessage::createMethodCall(m_itemService, itemPath, propertiesInterface, QStringLiteral("Get"));
    get << itemInterface << name;
    m_bus.asyncCall(get);
}
