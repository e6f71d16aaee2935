#pragma once

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QRadialGradient>

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
inline void paintGlow(QPainter& painter, const QPointF& centre, qreal radius, qreal blur, const QColor& color)
{
    QRadialGradient gradient(centre, radius + blur);
    gradient.setColorAt(0, color);
    gradient.setColorAt((radius - blur) / (radius + blur), color);
    gradient.setColorAt(1, withAlpha(color, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(centre, radius + blur, radius + blur);
}

} // namespace OnboardingStyle
