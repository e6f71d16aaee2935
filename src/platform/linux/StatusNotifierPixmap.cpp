#include "StatusNotifierPixmap.h"

#include <QDBusMetaType>
#include <QtEndian>

StatusNotifierPixmap StatusNotifierPixmap::fromImage(const QImage& image)
{
    // The format wants straight alpha, not the premultiplied pixels painting produces.
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    StatusNotifierPixmap pixmap;
    pixmap.width = straight.width();
    pixmap.height = straight.height();
    pixmap.bytes.resize(static_cast<qsizetype>(pixmap.width) * pixmap.height * 4);
    char* out = pixmap.bytes.data();
    for (int y = 0; y < straight.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(straight.constScanLine(y));
        for (int x = 0; x < straight.width(); ++x) {
            qToBigEndian(line[x], out);
            out += 4;
        }
    }
    return pixmap;
}

void StatusNotifierPixmap::registerMetaTypes()
{
    qDBusRegisterMetaType<StatusNotifierPixmap>();
    qDBusRegisterMetaType<QList<StatusNotifierPixmap>>();
}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.bytes;
    argument.endStructure();
    return argument;
}
