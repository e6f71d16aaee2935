#pragma once

#include "StatusNotifierPixmap.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

// A StatusNotifierItem's tooltip, D-Bus type (sa(iiay)ss): icon name, icon pixmaps, title and
// description.
struct StatusNotifierToolTip {
    QString iconName;
    QList<StatusNotifierPixmap> iconPixmaps;
    QString title;
    QString description;

    static void registerMetaType();
};

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& toolTip);

Q_DECLARE_METATYPE(StatusNotifierToolTip)
