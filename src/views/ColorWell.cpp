#include "ColorWell.h"

#include <QColorDialog>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {
constexpr QSize wellSize(38, 22);
constexpr int swatchInset = 4;
constexpr int checkerCell = 4;

void paintCheckerboard(QPainter& painter, const QRect& area)
{
    painter.fillRect(area, Qt::white);
    for (int y = area.top(); y <= area.bottom(); y += checkerCell) {
        for (int x = area.left() + ((y - area.top()) / checkerCell % 2) * checkerCell; x <= area.right();
             x += 2 * checkerCell)
            painter.fillRect(QRect(x, y, checkerCell, checkerCell).intersected(area), QColor(204, 204, 204));
    }
}
} // namespace

ColorWell::ColorWell(QWidget* parent)
    : QToolButton(parent)
{
    setFixedSize(wellSize);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QToolButton::clicked, this, &ColorWell::openDialog);
}

void ColorWell::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void ColorWell::choose(const QColor& color)
{
    setColor(color);
    Q_EMIT colorChosen(color);
}

void ColorWell::openDialog()
{
    const QColor chosen =
        QColorDialog::getColor(m_color, this, accessibleName(), QColorDialog::ShowAlphaChannel);
    // An invalid colour means the dialog was cancelled.
    if (chosen.isValid())
        choose(chosen);
}

void ColorWell::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    option.features &= ~QStyleOptionToolButton::HasMenu;
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    const QRect swatch = rect().adjusted(swatchInset, swatchInset, -swatchInset, -swatchInset);
    painter.setClipRect(swatch);
    paintCheckerboard(painter, swatch);
    painter.fillRect(swatch, m_color);
    painter.setClipping(false);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
