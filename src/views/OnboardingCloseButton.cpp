#include "OnboardingCloseButton.h"
#include "OnboardingStyle.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

constexpr int diameter = 22;

} // namespace

OnboardingCloseButton::OnboardingCloseButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setToolTip(u"Close"_s);
    setAccessibleName(u"Close"_s);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    resize(sizeHint());
}

QSize OnboardingCloseButton::sizeHint() const
{
    return {diameter, diameter};
}

void OnboardingCloseButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_hovered || hasFocus() ? OnboardingStyle::border() : OnboardingStyle::raisedSurface());
    painter.drawEllipse(circle);

    const QColor cross = m_hovered ? OnboardingStyle::primaryText() : OnboardingStyle::secondaryText();
    painter.setPen(QPen(cross, 1.6, Qt::SolidLine, Qt::RoundCap));
    const qreal inset = circle.width() * 0.34;
    const QRectF arms = circle.adjusted(inset, inset, -inset, -inset);
    painter.drawLine(arms.topLeft(), arms.bottomRight());
    painter.drawLine(arms.topRight(), arms.bottomLeft());
}

void OnboardingCloseButton::enterEvent(QEnterEvent*)
{
    m_hovered = true;
    update();
}

void OnboardingCloseButton::leaveEvent(QEvent*)
{
    m_hovered = false;
    update();
}
