#include "StatusIconRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double discPoints = 18.0;
constexpr double canvasPixels = StatusIconRenderer::iconPoints * StatusIconRenderer::pixelsPerPoint;
constexpr double squareRadius = 4.0 * StatusIconRenderer::pixelsPerPoint;

// What the painter draws from now on is cut out of the canvas, so the panel shows through.
void knockOut(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
}

// The largest bold, condensed face up to `maxPixels` tall in which every line fits the width.
QFont fittingFont(const QStringList& lines, double maxPixels, double width)
{
    QFont font;
    font.setBold(true);
    font.setStretch(QFont::Condensed);
    for (int pixels = static_cast<int>(maxPixels); pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        const bool fits = std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
            return metrics.horizontalAdvance(line) <= width;
        });
        if (fits)
            break;
    }
    return font;
}

// The tier colour, opaque, halfway to grey: still the tier, plainly not counting.
QColor pausedFill(const QColor& color)
{
    const QColor grey(128, 128, 128);
    return QColor::fromRgbF((color.redF() + grey.redF()) / 2.0f, (color.greenF() + grey.greenF()) / 2.0f,
                            (color.blueF() + grey.blueF()) / 2.0f);
}

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

// Two bars in the lower right corner, opaque in the tier colour and cut free of the figure
// below by a clear margin, so they read on light and dark panels and over any figure.
void StatusIconRenderer::drawPauseBars(QImage& canvas, const QColor& color)
{
    const double unit = pixelsPerPoint;
    const QRectF badge(canvasPixels - 11.0 * unit, canvasPixels - 12.0 * unit, 11.0 * unit, 12.0 * unit);
    QPainter clear(&canvas);
    knockOut(clear);
    clear.setPen(Qt::NoPen);
    clear.setBrush(Qt::black);
    clear.drawRoundedRect(badge, 2.0 * unit, 2.0 * unit);
    clear.end();
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor opaque = color;
    opaque.setAlphaF(1.0);
    painter.setBrush(opaque);
    const double barWidth = 3.5 * unit;
    const QRectF inner = badge.adjusted(1.5 * unit, 1.5 * unit, -1.0 * unit, -1.0 * unit);
    painter.drawRect(QRectF(inner.left(), inner.top(), barWidth, inner.height()));
    painter.drawRect(QRectF(inner.right() - barWidth, inner.top(), barWidth, inner.height()));
}

QImage StatusIconRenderer::renderDot(const QColor& color, bool paused)
{
    QImage canvas = blankCanvas();
    drawDisc(canvas, color, dotPoints);
    if (paused)
        drawPauseBars(canvas, color);
    return canvas;
}

QImage StatusIconRenderer::renderClock(const QColor& color, bool paused)
{
    QImage canvas = blankCanvas();
    drawDisc(canvas, color, discPoints);
    QPainter painter(&canvas);
    knockOut(painter);
    const QPointF centre(canvasPixels / 2.0, canvasPixels / 2.0);
    QPen hand(Qt::black, 2.0 * pixelsPerPoint, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(hand);
    painter.drawLine(centre, centre - QPointF(0.0, 6.0 * pixelsPerPoint));
    painter.drawLine(centre, centre + QPointF(4.5 * pixelsPerPoint, 0.0));
    painter.end();
    if (paused)
        drawPauseBars(canvas, color);
    return canvas;
}

// Paused, the first line starts with two bars (a line of its own below an hour) and the
// square turns grey: a fade would leave the knocked-out figures too faint to read.
QImage StatusIconRenderer::renderTime(const QColor& color, const QStringList& lines, bool paused)
{
    QStringList shown = lines;
    if (paused && shown.size() < 2)
        shown.prepend(QString());
    QImage canvas = blankCanvas();
    QPainter fill(&canvas);
    fill.setRenderHint(QPainter::Antialiasing);
    fill.setPen(Qt::NoPen);
    fill.setBrush(paused ? pausedFill(color) : color);
    fill.drawRoundedRect(QRectF(0.0, 0.0, canvasPixels, canvasPixels), squareRadius, squareRadius);
    fill.end();
    const double margin = 1.0 * pixelsPerPoint;
    const double width = canvasPixels - 2.0 * margin;
    const double lineHeight = width / static_cast<double>(std::max<qsizetype>(shown.size(), 1));
    // The bars take the room of a digit and a space.
    QStringList measured = shown;
    if (paused)
        measured.first().prepend(QStringLiteral("0 "));
    QPainter painter(&canvas);
    knockOut(painter);
    painter.setFont(fittingFont(measured, lineHeight * 0.95, width));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    for (qsizetype line = 0; line < shown.size(); ++line) {
        const QRectF box(margin, margin + static_cast<double>(line) * lineHeight, width, lineHeight);
        if (paused && line == 0)
            drawBarsBefore(painter, box, shown.first());
        else
            painter.drawText(box, Qt::AlignCenter, shown.at(line));
    }
    return canvas;
}

// Two upright bars as wide as a digit, then the text, centred together in box.
void StatusIconRenderer::drawBarsBefore(QPainter& painter, const QRectF& box, const QString& text)
{
    const QFontMetricsF metrics(painter.font());
    const double barsWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    const double gap = text.isEmpty() ? 0.0 : metrics.horizontalAdvance(QLatin1Char(' ')) * 0.6;
    const double textWidth = metrics.horizontalAdvance(text);
    const double left = box.center().x() - (barsWidth + gap + textWidth) / 2.0;
    const double barHeight = metrics.capHeight();
    const double top = box.center().y() - barHeight / 2.0;
    const double bar = barsWidth * 0.36;
    painter.drawRect(QRectF(left, top, bar, barHeight));
    painter.drawRect(QRectF(left + barsWidth - bar, top, bar, barHeight));
    painter.drawText(QRectF(left + barsWidth + gap, box.top(), textWidth + 1.0, box.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text);
}

QStringList StatusIconRenderer::timeLines(qint64 seconds)
{
    const qint64 clamped = qMax<qint64>(seconds, 0);
    const qint64 minutes = (clamped % 3600) / 60;
    if (clamped < 3600)
        return {QString::number(minutes) + QLatin1Char('m')};
    return {QString::number(clamped / 3600) + QLatin1Char('h'),
            QStringLiteral("%1m").arg(minutes, 2, 10, QLatin1Char('0'))};
}
