#include "DBusMenuItemProperties.h"

#include <QDBusMetaType>

void DBusMenuItemProperties::registerMetaTypes()
{
    qDBusRegisterMetaType<DBusMenuItemProperties>();
    qDBusRegisterMetaType<QList<DBusMenuItemProperties>>();
    qDBusRegisterMetaType<DBusMenuRemovedProperties::value_type>();
    qDBusRegisterMetaType<DBusMenuRemovedProperties>();
    // Signals name the alias, so it must be known by that name too.
    qRegisterMetaType<DBusMenuRemovedProperties>("DBusMenuRemovedProperties");
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}
