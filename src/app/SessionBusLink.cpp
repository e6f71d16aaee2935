#include "SessionBusLink.h"

#include "ApplicationIdentity.h"

SessionBusLink::SessionBusLink()
    : m_connection(QDBusConnection::sessionBus())
    , m_client(m_connection)
{}

bool SessionBusLink::watch(Watch watch)
{
    if (!m_connection.isConnected())
        return false;
    m_watch = std::move(watch);
    m_watcher.setConnection(m_connection);
    m_watcher.setWatchMode(QDBusServiceWatcher::WatchForRegistration |
                           QDBusServiceWatcher::WatchForUnregistration);
    m_watcher.addWatchedService(ApplicationIdentity::busName);
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { m_watch.started(); });
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { m_watch.stopped(); });
    m_connection.connect(ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
                         QStringLiteral("org.freedesktop.DBus.Properties"),
                         QStringLiteral("PropertiesChanged"), this,
                         SLOT(takeChanges(QString, QVariantMap, QStringList)));
    return true;
}

void SessionBusLink::takeChanges(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == ApplicationIdentity::controlInterface)
        m_watch.changed(changed);
}

// The command line resolves this by name after loading the module.
extern "C" Q_DECL_EXPORT InstanceLink* lumatickSessionBusLink()
{
    return new SessionBusLink;
}
