#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The symbols of the first-run window, drawn as paths so that they look the same whatever
// icon theme the desktop has. Each fills a square of the symbol's point size.
class OnboardingSymbol {
public:
    enum class Symbol { clockFill, timer, circleLeftHalfFilled, bellFill, arrowRight };

    // Draws `symbol` centred in `rect`, as large as its shorter side.
    static void paint(QPainter& painter, Symbol symbol, const QRectF& rect, const QColor& color);

private:
    static void paintClockFill(QPainter& painter, qreal size);
    static void paintTimer(QPainter& painter, qreal size);
    static void paintCircleLeftHalfFilled(QPainter& painter, qreal size);
    static void paintBellFill(QPainter& painter, qreal size);
    static void paintArrowRight(QPainter& painter, qreal size);
};
