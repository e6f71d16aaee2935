#include "SettingsTabButton.h"

#include "PanelStyle.h"
#include "RoleAccessible.h"

#include <QPainter>

namespace {
constexpr int symbolSize = 18;
constexpr int symbolFrame = 22;
constexpr int titlePixels = 10;
constexpr int spacing = 2;
constexpr int verticalPadding = 6;
constexpr qreal cornerRadius = 6;

QFont titleFont(QFont font)
{
    font.setPixelSize(titlePixels);
    return font;
}
} // namespace

SettingsTabButton::SettingsTabButton(const QString& title, SettingsSymbol::Symbol symbol, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setText(title);
    setCheckable(true);
    RoleAccessible::setRole(this, QAccessible::PageTab);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SettingsTabButton::sizeHint() const
{
    const QFontMetrics metrics(titleFont(font()));
    const int height = verticalPadding + symbolFrame + spacing + metrics.height() + verticalPadding;
    return {metrics.horizontalAdvance(text()) + 2 * verticalPadding, height};
}

void SettingsTabButton::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isChecked()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Highlight));
        painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    }
    const QColor colour = foreground();
    const QPixmap symbol = SettingsSymbol::pixmap(m_symbol, colour, symbolSize, devicePixelRatioF());
    const QPointF symbolOrigin((width() - symbolSize) / 2.0,
                               verticalPadding + (symbolFrame - symbolSize) / 2.0);
    painter.drawPixmap(symbolOrigin, symbol);
    painter.setFont(titleFont(font()));
    painter.setPen(colour);
    const int titleTop = verticalPadding + symbolFrame + spacing;
    painter.drawText(QRect(0, titleTop, width(), height() - titleTop - verticalPadding + 2),
                     Qt::AlignHCenter | Qt::AlignTop, text());
}

QColor SettingsTabButton::foreground() const
{
    return isChecked() ? QColor(Qt::white) : PanelStyle::secondary(palette());
}
