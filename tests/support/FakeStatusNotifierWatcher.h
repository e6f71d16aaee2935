#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

// The desktop panel as an item meets it: the StatusNotifierWatcher that takes registrations and
// keeps them, listing the host property in its introspection as a real one does (toolkits check
// it before trusting the answer), and a host that reads the item's properties when it registers
// and whenever it announces a new icon or tooltip, as a panel showing it would. Shared by the
// tests and the footprint run, which would look cheaper with nobody listening.
class FakeStatusNotifierWatcher : public QObject, protected QDBusContext {
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
    // Exports the watcher on bus and takes its name; false when the bus refuses either.
    bool start(QDBusConnection bus);
    void stop(QDBusConnection bus);

    bool isHostRegistered() const { return true; }
    // Every registration as the item sent it, repeats included.
    QStringList registrations() const { return m_registrations; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service);

Q_SIGNALS:
    void itemRegistered(const QString& service, const QString& path);

private Q_SLOTS:
    void onNewIcon() { readProperty(QStringLiteral("IconPixmap")); }
    void onNewToolTip() { readProperty(QStringLiteral("ToolTip")); }
    // A host takes the label from the signal itself and asks nothing back.
    void onNewLabel(const QString&, const QString&) {}

private:
    void follow();
    void readProperty(const QString& name);

    QStringList m_registrations;
    QDBusConnection m_bus{QString()};
    QString m_itemService;
    QString m_itemPath;
};
