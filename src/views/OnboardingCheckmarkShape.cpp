#include "OnboardingCheckmarkShape.h"

#include <QLineF>

#include <algorithm>

QPainterPath OnboardingCheckmarkShape::path(const QRectF& rect)
{
    const auto at = [&rect](qreal x, qreal y) {
        return QPointF(rect.left() + x * rect.width(), rect.top() + y * rect.height());
    };
    QPainterPath mark;
    mark.moveTo(at(0.22, 0.5));
    mark.lineTo(at(0.42, 0.65));
    mark.lineTo(at(0.75, 0.3));
    return mark;
}

QPainterPath OnboardingCheckmarkShape::trimmed(const QPainterPath& polyline, qreal fraction)
{
    QPainterPath result;
    if (polyline.elementCount() == 0)
        return result;
    qreal remaining = std::clamp(fraction, 0.0, 1.0) * polyline.length();
    QPointF from = polyline.elementAt(0);
    result.moveTo(from);
    for (int i = 1; i < polyline.elementCount() && remaining > 0; ++i) {
        const QLineF segment(from, polyline.elementAt(i));
        if (segment.length() > remaining) {
            result.lineTo(segment.pointAt(remaining / segment.length()));
            break;
        }
        result.lineTo(segment.p2());
        remaining -= segment.length();
        from = segment.p2();
    }
    return result;
}
