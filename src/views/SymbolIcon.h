#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

class QPainter;

// Small monochrome symbols drawn in code: icon themes differ between desktops and may be
// missing altogether, and the pause symbol must take the button's foreground colour.
class SymbolIcon {
public:
    enum class Symbol { pause, play, chartBar, gear, flame, squareAndArrowUp };

    static QPixmap pixmap(Symbol symbol, const QColor& color, int size);
    static QIcon icon(Symbol symbol, const QColor& color, int size);

private:
    static void paintPause(QPainter& painter, qreal size);
    static void paintPlay(QPainter& painter, qreal size);
    static void paintChartBar(QPainter& painter, qreal size);
    static void paintGear(QPainter& painter, qreal size);
    static void paintFlame(QPainter& painter, qreal size);
    static void paintSquareAndArrowUp(QPainter& painter, qreal size);
};
