#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// One entry of the global shortcuts portal's shortcut lists, D-Bus type (sa{sv}): the id and
// its options (description, preferred_trigger, trigger_description).
struct PortalShortcut {
    QString id;
    QVariantMap options;

    // Makes QList<PortalShortcut> known to Qt D-Bus as a(sa{sv}); safe to call repeatedly.
    static void registerMetaType();
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);

Q_DECLARE_METATYPE(PortalShortcut)
