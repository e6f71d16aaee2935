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
// gradient again each frame.
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
    painter.drawPixmap(QPointF(qRound(topLeft.x() * ratio) / ratio, qRound(topLeft.y() * ratio) / ratio),
                       glow);
    painter.restore();
}

} // namespace OnboardingStyle
