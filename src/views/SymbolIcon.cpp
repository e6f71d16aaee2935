#include "SymbolIcon.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

QPixmap SymbolIcon::pixmap(Symbol symbol, const QColor& color, int size)
{
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const auto extent = static_cast<qreal>(size);
    switch (symbol) {
    case Symbol::pause:
        paintPause(painter, extent);
        break;
    case Symbol::play:
        paintPlay(painter, extent);
        break;
    case Symbol::chartBar:
        paintChartBar(painter, extent);
        break;
    case Symbol::gear:
        paintGear(painter, extent);
        break;
    case Symbol::flame:
        paintFlame(painter, extent);
        break;
    case Symbol::squareAndArrowUp:
        paintSquareAndArrowUp(painter, extent);
        break;
    }
    return image;
}

QIcon SymbolIcon::icon(Symbol symbol, const QColor& color, int size)
{
    return QIcon(pixmap(symbol, color, size));
}

void SymbolIcon::paintPause(QPainter& painter, qreal size)
{
    const qreal barWidth = size * 0.28;
    painter.drawRoundedRect(QRectF(size * 0.14, size * 0.1, barWidth, size * 0.8), 1, 1);
    painter.drawRoundedRect(QRectF(size * 0.58, size * 0.1, barWidth, size * 0.8), 1, 1);
}

void SymbolIcon::paintPlay(QPainter& painter, qreal size)
{
    const QPointF corners[] = {{size * 0.2, size * 0.1}, {size * 0.9, size * 0.5}, {size * 0.2, size * 0.9}};
    painter.drawPolygon(corners, 3);
}

void SymbolIcon::paintChartBar(QPainter& painter, qreal size)
{
    const qreal barWidth = size * 0.22;
    const qreal heights[] = {0.45, 0.8, 0.6};
    for (int i = 0; i < 3; ++i) {
        const qreal height = size * heights[i];
        painter.drawRect(QRectF(size * (0.08 + 0.31 * i), size * 0.95 - height, barWidth, height));
    }
}

void SymbolIcon::paintGear(QPainter& painter, qreal size)
{
    const QPointF centre(size / 2, size / 2);
    painter.save();
    painter.translate(centre);
    for (int tooth = 0; tooth < 8; ++tooth) {
        painter.drawRect(QRectF(-size * 0.09, -size * 0.5, size * 0.18, size * 0.3));
        painter.rotate(45);
    }
    painter.restore();
    painter.drawEllipse(centre, size * 0.36, size * 0.36);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.drawEllipse(centre, size * 0.15, size * 0.15);
}

void SymbolIcon::paintFlame(QPainter& painter, qreal size)
{
    QPainterPath flame;
    flame.moveTo(size * 0.5, size * 0.02);
    flame.cubicTo(size * 0.95, size * 0.4, size * 0.95, size * 0.75, size * 0.5, size * 0.98);
    flame.cubicTo(size * 0.05, size * 0.75, size * 0.1, size * 0.45, size * 0.35, size * 0.3);
    flame.cubicTo(size * 0.4, size * 0.45, size * 0.45, size * 0.5, size * 0.5, size * 0.5);
    flame.cubicTo(size * 0.55, size * 0.35, size * 0.5, size * 0.2, size * 0.5, size * 0.02);
    painter.drawPath(flame);
}

// An open tray with an arrow leaving it upwards: the export symbol.
void SymbolIcon::paintSquareAndArrowUp(QPainter& painter, qreal size)
{
    QPen outline(painter.brush().color(), std::max<qreal>(1, size * 0.09));
    outline.setJoinStyle(Qt::RoundJoin);
    outline.setCapStyle(Qt::RoundCap);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    const QPointF tray[] = {{size * 0.32, size * 0.38}, {size * 0.15, size * 0.38},
                            {size * 0.15, size * 0.92}, {size * 0.85, size * 0.92},
                            {size * 0.85, size * 0.38}, {size * 0.68, size * 0.38}};
    painter.drawPolyline(tray, 6);
    painter.drawLine(QPointF(size * 0.5, size * 0.08), QPointF(size * 0.5, size * 0.62));
    const QPointF head[] = {
        {size * 0.32, size * 0.25}, {size * 0.5, size * 0.08}, {size * 0.68, size * 0.25}};
    painter.drawPolyline(head, 3);
}
