#include "WindowIcon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace {

// The resource holds NxN/apps/lumatick.argb for each size: premultiplied ARGB32 pixels. Raw,
// because Qt's image reader loads every image format plugin on its first read (the SVG one
// brings Qt's SVG library), which would stay with the counter after its windows close.
QIcon builtInIcon()
{
    QIcon icon;
    for (const QString& sizeFolder :
         QDir(QStringLiteral(":/icons")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const int size = sizeFolder.section(u'x', 0, 0).toInt();
        QFile file(QStringLiteral(":/icons/%1/apps/lumatick.argb").arg(sizeFolder));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray pixels = file.readAll();
        if (size <= 0 || pixels.size() != qsizetype(size) * size * 4)
            continue;
        const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size,
                           QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image.copy()));
    }
    return icon;
}

} // namespace

void WindowIcon::applyToApplication()
{
    if (!QGuiApplication::windowIcon().isNull())
        return;
    QGuiApplication::setWindowIcon(builtInIcon());
}
