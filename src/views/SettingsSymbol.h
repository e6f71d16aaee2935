#pragma once

#include <QColor>
#include <QPixmap>

class QPainter;

// The symbols of the settings window drawn in code, like the panel's: the tab icons, the
// About page's clock and the shortcut's clear mark look the same on every desktop.
class SettingsSymbol {
public:
    enum class Symbol { gear, info, grid, clock, clearMark };

    // A square pixmap of `size` device-independent pixels, sharp on high-density screens.
    static QPixmap pixmap(Symbol symbol, const QColor& color, int size, qreal devicePixelRatio = 2.0);

private:
    static void paintInfo(QPainter& painter, qreal size);
    static void paintGrid(QPainter& painter, qreal size);
    static void paintClock(QPainter& painter, qreal size);
    static void paintClearMark(QPainter& painter, qreal size);
};
