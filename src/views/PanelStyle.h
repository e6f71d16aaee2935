#pragma once

#include <QColor>
#include <QFont>

class QPalette;
class QWidget;

// The panel's text styles: the desktop has no named subheadline, callout or caption fonts, nor
// secondary and tertiary text colours, so they are derived here once from the application font
// and palette.
class PanelStyle {
public:
    static QFont subheadlineFont();
    static QFont calloutFont();
    static QFont captionFont();
    static QFont todayFont();

    static QColor primary(const QPalette& palette);
    static QColor secondary(const QPalette& palette);
    static QColor tertiary(const QPalette& palette);
    // Faded forms of a colour, for hints that follow their button's foreground.
    static QColor withOpacity(QColor color, double opacity);
    static QColor paused();

    static void setTextColor(QWidget* widget, const QColor& color);

private:
    static QFont sizedFont(int pixelSize, QFont::Weight weight);
};
