// Renders the scalable application icon into the PNG sizes of the hicolor icon theme, so the
// installed bitmaps always match the SVG they come from, and into raw pixels (premultiplied
// ARGB32 in this machine's byte order) that the windows carry without an image reader.
//
// Usage: lumatick_render_icon ICON.svg OUTPUT_DIR SIZE...
// Writes OUTPUT_DIR/<SIZE>x<SIZE>/apps/<name of ICON>.png and .argb for each SIZE.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <cstdio>

namespace {

bool renderSize(QSvgRenderer& renderer, int size, const QString& path)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG"))
        return false;
    QFile raw(QFileInfo(path).path() + u'/' + QFileInfo(path).completeBaseName() + QStringLiteral(".argb"));
    return raw.open(QIODevice::WriteOnly) && raw.write(reinterpret_cast<const char*>(image.constBits()),
                                                       image.sizeInBytes()) == image.sizeInBytes();
}

int fail(const QString& message)
{
    std::fprintf(stderr, "lumatick_render_icon: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4)
        return fail(QStringLiteral("usage: lumatick_render_icon ICON.svg OUTPUT_DIR SIZE..."));
    const QString svgPath = QString::fromLocal8Bit(argv[1]);
    const QString outputDir = QString::fromLocal8Bit(argv[2]);
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(svgPath));
    const QString name = QFileInfo(svgPath).completeBaseName();
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0)
            return fail(QStringLiteral("bad size \"%1\"").arg(QString::fromLocal8Bit(argv[i])));
        const QString path =
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(outputDir, QString::number(size), name);
        if (!renderSize(renderer, size, path))
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}
