#include "PanelStyle.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QFont PanelStyle::subheadlineFont()
{
    return sizedFont(12, QFont::Normal);
}

QFont PanelStyle::calloutFont()
{
    return sizedFont(13, QFont::Normal);
}

QFont PanelStyle::captionFont()
{
    return sizedFont(11, QFont::Normal);
}

QFont PanelStyle::todayFont()
{
    return sizedFont(28, QFont::DemiBold);
}

QColor PanelStyle::primary(const QPalette& palette)
{
    return palette.color(QPalette::WindowText);
}

QColor PanelStyle::secondary(const QPalette& palette)
{
    return withOpacity(primary(palette), 0.6);
}

QColor PanelStyle::tertiary(const QPalette& palette)
{
    return withOpacity(primary(palette), 0.4);
}

QColor PanelStyle::withOpacity(QColor color, double opacity)
{
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return color;
}

QColor PanelStyle::paused()
{
    return QColor(255, 149, 0);
}

// Buttons paint their text with ButtonText and labels with WindowText; setting both lets one
// call colour either.
void PanelStyle::setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

QFont PanelStyle::sizedFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}
