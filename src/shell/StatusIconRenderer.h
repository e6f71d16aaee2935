#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// Draws the status item's icon. Icons are 22 points square at two pixels per point, so hosts
// scaling to their panel height get a sharp image; the colour carries the threshold tier.
class StatusIconRenderer {
public:
    static constexpr int iconPoints = 22;
    static constexpr int pixelsPerPoint = 2;
    static constexpr int dotPoints = 10;

    // A filled circle of dotPoints across, centred: the whole item in icon-only mode.
    static QImage renderDot(const QColor& color);
    // A disc with the hands knocked out, so the glyph reads on light and dark panels alike.
    static QImage renderClock(const QColor& color);
    // A disc with the text knocked out, for hosts that never show the label.
    static QImage renderCompactTime(const QColor& color, const QString& text);

    // At most three characters: whole minutes below an hour ("7m", "59m"), whole hours after
    // ("4h"), truncated like the counter so the icon never runs ahead of it.
    static QString compactTime(qint64 seconds);

private:
    static QImage blankCanvas();
    static void drawDisc(QImage& canvas, const QColor& color, double diameterPoints);
};
