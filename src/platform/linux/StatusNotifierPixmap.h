#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QImage>
#include <QList>
#include <QMetaType>

// One image as a StatusNotifierItem sends it, D-Bus type (iiay): width, height, then ARGB32
// pixels with each 32-bit value in network byte order.
struct StatusNotifierPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;

    bool operator==(const StatusNotifierPixmap&) const = default;

    static StatusNotifierPixmap fromImage(const QImage& image);
    // Registers the single and the list type with Qt's D-Bus marshalling; safe to call twice.
    static void registerMetaTypes();
};

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap);

Q_DECLARE_METATYPE(StatusNotifierPixmap)
