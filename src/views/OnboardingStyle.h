#pragma once

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QRadialGradient>
#include <QtMath>

// The first-run window's own dark colours and its fonts. They do not follow the desktop theme: the
// introduction looks the same on every desktop.
namespace OnboardingStyle {

inline QColor background()
{
    return QColor(0x0D, 0x11, 0x17);
}

inline QColor raisedSurface()
{
    return QColor(0x16, 0x1B, 0x22);
}

inline QColor border()
{
    return QColor(0x30, 0x36, 0x3D);
}

inline QColor primaryText()
{
    return QColor(0xC9, 0xD1, 0xD9);
}

inline QColor secondaryText()
{
    return QColor(0x8B, 0x94, 0x9E);
}

inline QColor accent()
{
    return QColor(0xFF, 0x6B, 0x35);
}

inline QColor success()
{
    return QColor(0x34, 0xC7, 0x59);
}

// The application font at a size in pixels: the window is laid out in fixed pixel sizes.
inline QFont font(int pixelSize, QFont::Weight weight)
{
    QFont result = QGuiApplication::font();
    result.setPixelSize(pixelSize);
    result.setWeight(weight);
    return result;
}

inline QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

// A glow's opacity as it is drawn: in steps of 1/128, finer than a pulsing halo on a dark
// background shows, so that a pulse is drawn again only when it has visibly changed rather than
// at every frame of its animation.
inline qreal steppedGlowAlpha(qreal alpha)
{
    constexpr int steps = 128;
    return qRound(alpha * steps) / qreal(steps);
}

// A disc of `radius` whose edge is softened over `blur` pixels, as if blurred.
inline void paintGlowShape(QPainter& painter, const QPointF& centre, qreal radius, qreal blur,
                           const QColor& color)
{
    QRadialGradient gradient(centre, radius + blur);
    gradient.setColorAt(0, color);
    gradient.setColorAt((radius - blur) / (radius + blur), color);
    gradient.setColorAt(1, withAlpha(color, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(centre, radius + blur, radius + blur);
}

// The glow, drawn once opaque and kept: the screens pulse it for as long as they are open, and
// copying a picture at a whole-pixel place with an opacity costs a fraction of filling the
// gradient again each frame. The copy is clipped to the picture's own square: when another part
// of the window changes in the same frame, the region being drawn has several rectangles, and
// under such a clip the painter blends the picture line by line and hands the lines to other
// threads.
inline void paintGlow(QPainter& painter, const QPointF& centre, qreal radius, qreal blur, const QColor& color)
{
    const qreal reach = radius + blur;
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QColor opaque = withAlpha(color, 1);
    const QString key =
        QStringLiteral("lumatick-glow-%1-%2-%3-%4").arg(radius).arg(blur).arg(opaque.rgb()).arg(ratio);
    QPixmap glow;
    if (!QPixmapCache::find(key, &glow)) {
        const int side = qCeil(2 * reach * ratio);
        glow = QPixmap(side, side);
        glow.setDevicePixelRatio(ratio);
        glow.fill(Qt::transparent);
        QPainter glowPainter(&glow);
        glowPainter.setRenderHint(QPainter::Antialiasing);
        paintGlowShape(glowPainter, QPointF(reach, reach), radius, blur, opaque);
        glowPainter.end();
        QPixmapCache::insert(key, glow);
    }
    painter.save();
    painter.setOpacity(painter.opacity() * color.alphaF());
    const QPointF topLeft = centre - QPointF(reach, reach);
    const QPointF place(qRound(topLeft.x() * ratio) / ratio, qRound(topLeft.y() * ratio) / ratio);
    painter.setClipRect(QRectF(place, glow.deviceIndependentSize()), Qt::IntersectClip);
    painter.drawPixmap(place, glow);
    painter.restore();
}

// Draws what `paint` draws within `area` by copying a picture of it made once and kept under
// `key`: for the still parts that a pulse or the shimmer draws again at every one of its frames.
// While the part still moves, scales or fades in, it is drawn as it is.
template <typename Paint>
void paintStill(QPainter& painter, const QString& key, const QRectF& area, Paint paint)
{
    if (painter.opacity() < 1 || painter.transform().type() > QTransform::TxTranslate) {
        paint(painter);
        return;
    }
    // The picture keeps the part's place within its first pixel, so that its edges are
    // smoothed exactly as when it is drawn in place, and a pixel around it for that smoothing.
    const QRect pixels = area.toAlignedRect().adjusted(-1, -1, 1, 1);
    const QPointF offset = area.topLeft() - pixels.topLeft();
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QString fullKey = QStringLiteral("lumatick-%1-%2x%3-%4-%5-%6")
                                .arg(key)
                                .arg(area.width())
                                .arg(area.height())
                                .arg(offset.x())
                                .arg(offset.y())
                                .arg(ratio);
    QPixmap picture;
    if (!QPixmapCache::find(fullKey, &picture)) {
        picture = QPixmap(pixels.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter picturePainter(&picture);
        picturePainter.setRenderHints(painter.renderHints());
        picturePainter.translate(-pixels.topLeft());
        paint(picturePainter);
        picturePainter.end();
        QPixmapCache::insert(fullKey, picture);
    }
    painter.drawPixmap(pixels.topLeft(), picture);
}

} // namespace OnboardingStyle
