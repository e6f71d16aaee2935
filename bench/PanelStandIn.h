#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

// Stands in for a desktop panel while the whole process is measured: the
// StatusNotifierWatcher that items register with, and a host that reads an item's
// properties when it registers and again whenever it announces a new icon or tooltip, as a
// panel showing it would. A counter measured without anyone listening would look cheaper
// than it is on a desktop. Each registration is reported on standard output, so a run can
// tell whether the measured program put an item on the panel.
class PanelStandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.kde.StatusNotifierWatcher\">\n"
                "    <method name=\"RegisterStatusNotifierItem\">\n"
                "      <arg name=\"service\" type=\"s\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>\n"
                "    <property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>\n"
                "  </interface>\n")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registrations)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit PanelStandIn(QDBusConnection bus, QObject* parent = nullptr);

    // Takes the watcher's name and object; false when the bus refuses either.
    bool start();

    bool isHostRegistered() const { return true; }
    QStringList registrations() const { return m_registrations; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service);

private Q_SLOTS:
    void onNewIcon();
    void onNewToolTip();
    // A host takes the label from the signal itself and asks nothing back.
    void onNewLabel(const QString&, const QString&) {}

private:
    void follow();
    void readProperty(const QString& name);

    QDBusConnection m_bus;
    QStringList m_registrations;
    // The item last registered; the measured program has one.
    QString m_itemService;
    QString m_itemPath;
};
