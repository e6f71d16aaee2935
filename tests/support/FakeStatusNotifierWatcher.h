#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

// The desktop panel as an item meets it: the StatusNotifierWatcher that takes registrations and
// keeps them, with the host property in its introspection as a real one has (toolkits check it
// before trusting the answer), and a host that reads the item's properties when it registers
// and whenever it announces a new icon or tooltip, as a panel showing it would. Shared by the
// tests and the footprint run, which would look cheaper with nobody listening.
class FakeStatusNotifierWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
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
    // Each label the item announced, with its guide, as the panel heard them.
    QList<QStringList> labels() const { return m_labels; }
    // Each status the item announced (NewStatus), which a host takes from the signal.
    QStringList statuses() const { return m_statuses; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service);

Q_SIGNALS:
    void itemRegistered(const QString& service, const QString& path);
    void labelHeard();

private Q_SLOTS:
    void onNewIcon() { readProperty(QStringLiteral("IconPixmap")); }
    void onNewToolTip() { readProperty(QStringLiteral("ToolTip")); }
    // A host takes the label from the signal itself and asks nothing back.
    void onNewLabel(const QString& label, const QString& guide)
    {
        m_labels.append({label, guide});
        Q_EMIT labelHeard();
    }
    void onNewStatus(const QString& status) { m_statuses.append(status); }

private:
    // Reads one property of the item, or all of them when name is empty.
    void readProperty(const QString& name = {});

    QStringList m_registrations;
    QList<QStringList> m_labels;
    QStringList m_statuses;
    QDBusConnection m_bus{QString()};
    QString m_itemService;
    QString m_itemPath;
};
