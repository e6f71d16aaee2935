#pragma once

#include "ControlClient.h"
#include "InstanceLink.h"

#include <QDBusServiceWatcher>
#include <QObject>

// The link to the running counter over the session bus, built as a module of its own so that
// only the commands which ask load Qt D-Bus and the bus library.
class SessionBusLink : public QObject, public InstanceLink {
    Q_OBJECT
public:
    SessionBusLink();

    bool isInstanceRunning() const override { return m_client.isInstanceRunning(); }
    QString call(const QString& method, const QVariantList& arguments = {}) const override
    {
        return m_client.call(method, arguments);
    }
    std::optional<QVariantMap> properties() const override { return m_client.properties(); }
    bool watch(Watch watch) override;

private Q_SLOTS:
    void takeChanges(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QDBusConnection m_connection;
    ControlClient m_client;
    QDBusServiceWatcher m_watcher;
    Watch m_watch;
};
