#pragma once

#include <QPainterPath>
#include <QRectF>

// The check mark of the confirmation badge, and the partial drawing of stroked outlines that
// lets both the mark and its circle grow along their path.
class OnboardingCheckmarkShape {
public:
    // Two strokes: down to the bottom of the tick, then up to the right.
    static QPainterPath path(const QRectF& rect);
    // The part of a path made of straight lines from its start to `fraction` of its length
    // (clamped to 0...1).
    static QPainterPath trimmed(const QPainterPath& polyline, qreal fraction);
    // The mark in `rect` drawn to `fraction` of its length.
    static QPainterPath trimmedPath(const QRectF& rect, qreal fraction)
    {
        return trimmed(path(rect), fraction);
    }
};
