#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QVariantMap>

#include <utility>

// The properties of one com.canonical.dbusmenu item without its children, D-Bus type (ia{sv}).
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;

    // Registers the single and the list type, and DBusMenuRemovedProperties, with Qt's D-Bus
    // marshalling.
    static void registerMetaTypes();
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);

Q_DECLARE_METATYPE(DBusMenuItemProperties)

// Property names taken off items, D-Bus type a(ias), the second half of ItemsPropertiesUpdated.
using DBusMenuRemovedProperties = QList<std::pair<int, QStringList>>;
