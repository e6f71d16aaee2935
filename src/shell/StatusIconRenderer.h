#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

class QPainter;
class QRectF;

// Draws the status item's icon. Icons are 22 points square at two pixels per point, so hosts
// scaling to their panel height get a sharp image; the colour carries the threshold tier.
// Paused icons are faded and carry two upright bars, a shape a host's hover highlight (which
// only lightens) never makes.
class StatusIconRenderer {
public:
    static constexpr int iconPoints = 22;
    static constexpr int pixelsPerPoint = 2;
    static constexpr int dotPoints = 10;

    // A filled circle of dotPoints across, centred: the whole item in icon-only mode.
    static QImage renderDot(const QColor& color, bool paused = false);
    // A disc with the hands knocked out, so the glyph reads on light and dark panels alike.
    static QImage renderClock(const QColor& color, bool paused = false);
    // A rounded square with the time knocked out, for hosts that never show the label: one
    // line below an hour, hours over minutes after, so each line stays large enough to read
    // at panel size.
    static QImage renderTime(const QColor& color, const QStringList& lines, bool paused = false);

    // Truncated like the counter, so the icon never runs ahead of it: {"0m"} … {"59m"}, then
    // {"4h", "05m"}.
    static QStringList timeLines(qint64 seconds);

private:
    static QImage blankCanvas();
    static void drawDisc(QImage& canvas, const QColor& color, double diameterPoints);
    static void drawPauseBars(QImage& canvas, const QColor& color);
    static void drawBarsBefore(QPainter& painter, const QRectF& box, const QString& text);
};
