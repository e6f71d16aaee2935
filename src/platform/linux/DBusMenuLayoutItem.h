#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QVariantMap>

// One node of a com.canonical.dbusmenu layout, D-Bus type (ia{sv}av): id, properties, and the
// children, each wrapped in a variant as the protocol wants.
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;

    static void registerMetaType();
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);

Q_DECLARE_METATYPE(DBusMenuLayoutItem)
