#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

// A dbus-daemon of the test's own, standing in for the session or the system bus, so D-Bus
// code is tested against a real bus with fake services and never touches the machine's buses.
// Only the services the test starts are on it: nothing is started on demand.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    // A separately named connection to this bus (each name is a distinct peer on the bus). The
    // name is released with the bus, so the next test's bus can use it again.
    QDBusConnection connect(const QString& connectionName) const;

private:
    QProcess m_daemon;
    QString m_address;
    mutable QStringList m_connectionNames;
};
