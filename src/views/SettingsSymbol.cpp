#include "SettingsSymbol.h"

#include "SymbolIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap SettingsSymbol::pixmap(Symbol symbol, const QColor& color, int size, qreal devicePixelRatio)
{
    if (symbol == Symbol::gear) {
        QPixmap gear = SymbolIcon::pixmap(SymbolIcon::Symbol::gear, color, qRound(size * devicePixelRatio));
        gear.setDevicePixelRatio(devicePixelRatio);
        return gear;
    }
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap image(pixels, pixels);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const auto extent = static_cast<qreal>(pixels);
    switch (symbol) {
    case Symbol::info:
        paintInfo(painter, extent);
        break;
    case Symbol::grid:
        paintGrid(painter, extent);
        break;
    case Symbol::clock:
        paintClock(painter, extent);
        break;
    case Symbol::clearMark:
        paintClearMark(painter, extent);
        break;
    case Symbol::gear:
        break;
    }
    painter.end();
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

// An outlined circle with the letter i: the ring is a filled circle with its inside cut out.
void SettingsSymbol::paintInfo(QPainter& painter, qreal size)
{
    QPainterPath ring;
    ring.addEllipse(QRectF(size * 0.04, size * 0.04, size * 0.92, size * 0.92));
    ring.addEllipse(QRectF(size * 0.12, size * 0.12, size * 0.76, size * 0.76));
    painter.drawPath(ring);
    painter.drawEllipse(QPointF(size * 0.5, size * 0.3), size * 0.065, size * 0.065);
    painter.drawRoundedRect(QRectF(size * 0.44, size * 0.42, size * 0.12, size * 0.34), size * 0.03,
                            size * 0.03);
}

void SettingsSymbol::paintGrid(QPainter& painter, qreal size)
{
    const qreal cell = size * 0.38;
    const qreal radius = size * 0.08;
    for (const qreal x : {size * 0.08, size * 0.54}) {
        for (const qreal y : {size * 0.08, size * 0.54})
            painter.drawRoundedRect(QRectF(x, y, cell, cell), radius, radius);
    }
}

// A filled dial with its hands cut out, so the hands show whatever lies behind: the minute
// hand at twelve, the shorter hour hand at four.
void SettingsSymbol::paintClock(QPainter& painter, qreal size)
{
    const QPointF centre(size / 2, size / 2);
    painter.drawEllipse(centre, size * 0.46, size * 0.46);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    const qreal hand = size * 0.08;
    painter.translate(centre);
    painter.drawRoundedRect(QRectF(-hand / 2, -size * 0.34, hand, size * 0.34 + hand / 2), hand / 2,
                            hand / 2);
    painter.rotate(120);
    painter.drawRoundedRect(QRectF(-hand / 2, -size * 0.22, hand, size * 0.22 + hand / 2), hand / 2,
                            hand / 2);
}

// A filled circle with an x cut out of it.
void SettingsSymbol::paintClearMark(QPainter& painter, qreal size)
{
    const QPointF centre(size / 2, size / 2);
    painter.drawEllipse(centre, size * 0.46, size * 0.46);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    QPen cross(Qt::black, size * 0.1, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(cross);
    const qreal arm = size * 0.17;
    painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
}
