#include "OnboardingSymbol.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>

void OnboardingSymbol::paint(QPainter& painter, Symbol symbol, const QRectF& rect, const QColor& color)
{
    const qreal size = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center() - QPointF(size / 2, size / 2));
    painter.setPen(QPen(color, size * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(color);
    switch (symbol) {
    case Symbol::clockFill:
        paintClockFill(painter, size);
        break;
    case Symbol::timer:
        paintTimer(painter, size);
        break;
    case Symbol::circleLeftHalfFilled:
        paintCircleLeftHalfFilled(painter, size);
        break;
    case Symbol::bellFill:
        paintBellFill(painter, size);
        break;
    case Symbol::arrowRight:
        paintArrowRight(painter, size);
        break;
    }
    painter.restore();
}

// A filled disc with the hands cut out, so the background shows through them.
void OnboardingSymbol::paintClockFill(QPainter& painter, qreal size)
{
    const QPointF centre(size / 2, size / 2);
    QPainterPath disc;
    disc.addEllipse(centre, size * 0.46, size * 0.46);
    QPainterPath hands;
    hands.moveTo(centre.x(), size * 0.2);
    hands.lineTo(centre);
    hands.lineTo(size * 0.7, size * 0.62);
    QPainterPathStroker stroker;
    stroker.setWidth(size * 0.09);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    painter.setPen(Qt::NoPen);
    painter.drawPath(disc.subtracted(stroker.createStroke(hands)));
}

void OnboardingSymbol::paintTimer(QPainter& painter, qreal size)
{
    const QPointF centre(size / 2, size * 0.56);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, size * 0.38, size * 0.38);
    painter.drawLine(centre, QPointF(size * 0.66, size * 0.4));
    painter.drawLine(QPointF(size * 0.4, size * 0.06), QPointF(size * 0.6, size * 0.06));
}

void OnboardingSymbol::paintCircleLeftHalfFilled(QPainter& painter, qreal size)
{
    const QRectF circle(size * 0.06, size * 0.06, size * 0.88, size * 0.88);
    painter.drawPie(circle, 90 * 16, 180 * 16);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
}

void OnboardingSymbol::paintBellFill(QPainter& painter, qreal size)
{
    QPainterPath bell;
    bell.moveTo(size * 0.1, size * 0.76);
    bell.lineTo(size * 0.2, size * 0.62);
    bell.lineTo(size * 0.22, size * 0.4);
    bell.cubicTo(size * 0.24, size * 0.18, size * 0.38, size * 0.1, size * 0.5, size * 0.1);
    bell.cubicTo(size * 0.62, size * 0.1, size * 0.76, size * 0.18, size * 0.78, size * 0.4);
    bell.lineTo(size * 0.8, size * 0.62);
    bell.lineTo(size * 0.9, size * 0.76);
    bell.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.drawPath(bell);
    painter.drawEllipse(QPointF(size * 0.5, size * 0.85), size * 0.11, size * 0.11);
    painter.drawEllipse(QPointF(size * 0.5, size * 0.08), size * 0.06, size * 0.06);
}

void OnboardingSymbol::paintArrowRight(QPainter& painter, qreal size)
{
    painter.setPen(QPen(painter.pen().color(), size * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(size * 0.1, size * 0.5), QPointF(size * 0.88, size * 0.5));
    const QPointF head[] = {
        {size * 0.55, size * 0.18}, {size * 0.88, size * 0.5}, {size * 0.55, size * 0.82}};
    painter.drawPolyline(head, 3);
}
