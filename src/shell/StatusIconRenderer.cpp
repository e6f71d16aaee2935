#include "StatusIconRenderer.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double discPoints = 18.0;
constexpr double canvasPixels = StatusIconRenderer::iconPoints * StatusIconRenderer::pixelsPerPoint;

} // namespace

QImage StatusIconRenderer::blankCanvas()
{
    QImage canvas(static_cast<int>(canvasPixels), static_cast<int>(canvasPixels),
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

void StatusIconRenderer::drawDisc(QImage& canvas, const QColor& color, double diameterPoints)
{
    const double diameter = diameterPoints * pixelsPerPoint;
    const double offset = (canvasPixels - diameter) / 2.0;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(offset, offset, diameter, diameter));
}

QImage StatusIconRenderer::renderDot(const QColor& color)
{
    QImage canvas = blankCanvas();
    drawDisc(canvas, color, dotPoints);
    return canvas;
}

QImage StatusIconRenderer::renderClock(const QColor& color)
{
    QImage canvas = blankCanvas();
    drawDisc(canvas, color, discPoints);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    const QPointF centre(canvasPixels / 2.0, canvasPixels / 2.0);
    QPen hand(Qt::black, 2.0 * pixelsPerPoint, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(hand);
    painter.drawLine(centre, centre - QPointF(0.0, 6.0 * pixelsPerPoint));
    painter.drawLine(centre, centre + QPointF(4.5 * pixelsPerPoint, 0.0));
    return canvas;
}

QImage StatusIconRenderer::renderCompactTime(const QColor& color, const QString& text)
{
    QImage canvas = blankCanvas();
    drawDisc(canvas, color, iconPoints);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    QFont font;
    font.setBold(true);
    // Three characters must fit inside the disc; two get a larger face.
    font.setPixelSize(text.size() > 2 ? 8 * pixelsPerPoint : 10 * pixelsPerPoint);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0.0, 0.0, canvasPixels, canvasPixels), Qt::AlignCenter, text);
    return canvas;
}

QString StatusIconRenderer::compactTime(qint64 seconds)
{
    const qint64 clamped = qMax<qint64>(seconds, 0);
    if (clamped < 3600)
        return QString::number(clamped / 60) + QLatin1Char('m');
    return QString::number(clamped / 3600) + QLatin1Char('h');
}
