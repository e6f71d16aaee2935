#pragma once

#include <QObject>
#include <QStringList>

// The desktop panel's watcher as the application meets it: it takes registrations, keeps
// them for the test to read and, like a real one, lists the host property in its
// introspection, which toolkits check before trusting the answer.
class FakeStatusNotifierWatcher : public QObject {
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
    bool isHostRegistered() const { return true; }
    QStringList registrations() const { return m_registrations; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service);

private:
    QStringList m_registrations;
};
