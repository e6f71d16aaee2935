#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QVariant>

class PrivateBus;

// A python-dbusmock process on a private bus: one of its maintained templates (logind,
// notification_daemon, timedated, gnome_screensaver), a template file of ours, or a bare object
// the test gives methods and properties. The mock runs in its own process, so the blocking
// calls the code under test makes are answered while the test waits.
class DBusMock {
public:
    struct Service {
        QString name;
        QString path;
        QString interface;
    };

    // templateName is a dbusmock template or the path of one, serving service; without it, the
    // mock is a bare object at service.
    DBusMock(const PrivateBus& bus, Service service, const QString& templateName = {},
             const QVariantMap& parameters = {});
    ~DBusMock() { stop(); }
    DBusMock(const DBusMock&) = delete;
    DBusMock& operator=(const DBusMock&) = delete;

    bool isRunning() const { return m_ready; }
    // Ends the process: the service leaves the bus as a crashing one would.
    void stop();

    // Calls method of interface (the mock's control interface when empty) at path (the main
    // object when empty); blocking, the reply or the error.
    QDBusMessage call(const QString& method, const QVariantList& arguments = {},
                      const QString& interface = {}, const QString& path = {}) const;
    // code is Python run by the mock for a method without arguments; `ret` takes the answer.
    void addMethod(const QString& name, const QString& out, const QString& code) const;
    // Sets the properties of the main interface and announces them with PropertiesChanged.
    void updateProperties(const QVariantMap& changed, const QString& path = {}) const;
    void emitSignal(const QString& interface, const QString& name, const QString& signature,
                    const QVariantList& arguments, const QString& path = {}) const;
    // The arguments of each call of method made to the main object so far.
    QList<QVariantList> callsOf(const QString& method) const;

private:
    bool waitUntilServing();

    Service m_service;
    QDBusConnection m_connection;
    QProcess m_process;
    bool m_ready = false;
};
