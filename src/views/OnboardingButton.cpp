#include "OnboardingButton.h"
#include "OnboardingStyle.h"
#include "OnboardingSymbol.h"

#include <QFontMetricsF>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

constexpr int labelSpacing = 6;
constexpr qreal breathingScale = 0.02;
// The breath moves each end of a capsule some 200 pixels wide by two pixels at most: in eight
// steps each moves its edge by a quarter of a pixel, which the eye cannot tell from a smooth
// change, and the button is drawn again eight times each way instead of at every frame.
constexpr int breathingSteps = 8;
constexpr int shadowOffset = 4;
constexpr int shadowLayers = 6;
// Room around the capsule for the breathing scale and the shadow.
constexpr int outerMargin = 12;

} // namespace

OnboardingButton::OnboardingButton(const QString& title, const Look& look, QWidget* parent)
    : QAbstractButton(parent)
    , m_look(look)
    , m_font(OnboardingStyle::font(look.titlePixelSize, QFont::DemiBold))
{
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

// The screens pass every value on at each of their frames; only a change is drawn.
void OnboardingButton::setShown(qreal shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    update();
}

void OnboardingButton::setBreathing(qreal breathing)
{
    const int step = qRound(breathing * breathingSteps);
    if (step == m_breathingStep)
        return;
    m_breathingStep = step;
    update();
}

void OnboardingButton::setContentOpacity(qreal opacity)
{
    if (opacity == m_contentOpacity)
        return;
    m_contentOpacity = opacity;
    update();
}

void OnboardingButton::placeAboveBottom(int inset)
{
    const QSize size = sizeHint();
    const QWidget* parent = parentWidget();
    setGeometry((parent->width() - size.width()) / 2, parent->height() - inset + outerMargin - size.height(),
                size.width(), size.height());
}

qreal OnboardingButton::effectiveOpacity() const
{
    return m_contentOpacity * m_shown;
}

qreal OnboardingButton::effectiveScale() const
{
    const qreal entering = m_look.hiddenScale + (1 - m_look.hiddenScale) * m_shown;
    return entering + breathingScale * m_breathingStep / breathingSteps;
}

QSize OnboardingButton::sizeHint() const
{
    return capsuleSize() + QSize(2 * outerMargin, 2 * outerMargin);
}

QSize OnboardingButton::capsuleSize() const
{
    const QFontMetricsF metrics(m_font);
    const qreal labelWidth = metrics.horizontalAdvance(text()) + labelSpacing + m_look.arrowPixelSize;
    const qreal labelHeight = std::max<qreal>(metrics.height(), m_look.arrowPixelSize);
    const QMargins& padding = m_look.padding;
    return QSizeF(labelWidth + padding.left() + padding.right(),
                  labelHeight + padding.top() + padding.bottom())
        .toSize();
}

// Once its entrance is over, the button only breathes, in a few steps: each step is drawn once
// into a picture and copied from then on. Drawn afresh, the shadow's rounded layers are filled
// line by line, and Qt hands those lines to other threads at every step of the pulse.
void OnboardingButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(effectiveOpacity());
    const QString step = u"onboarding-button-%1-%2-%3"_s.arg(text()).arg(effectiveScale()).arg(isDown());
    OnboardingStyle::paintStill(painter, step, rect(), [this](QPainter& face) { paintFace(face); });
}

void OnboardingButton::paintFace(QPainter& painter) const
{
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.scale(effectiveScale(), effectiveScale());
    painter.translate(-centre);

    QRectF capsule{QPointF(), QSizeF(capsuleSize())};
    capsule.moveCenter(centre);
    paintShadow(painter, capsule);
    const qreal radius = capsule.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isDown() ? OnboardingStyle::accent().darker(115) : OnboardingStyle::accent());
    painter.drawRoundedRect(capsule, radius, radius);
    paintLabel(painter, capsule);
}

// Widening, fainter capsules below the button stand in for a blurred shadow.
void OnboardingButton::paintShadow(QPainter& painter, const QRectF& capsule) const
{
    painter.setPen(Qt::NoPen);
    const double layerOpacity = m_look.shadowOpacity / shadowLayers;
    for (int layer = shadowLayers; layer > 0; --layer) {
        const qreal grow = layer * 1.5;
        const QRectF shadow = capsule.translated(0, shadowOffset).adjusted(-grow, -grow, grow, grow);
        painter.setBrush(OnboardingStyle::withAlpha(OnboardingStyle::accent(), layerOpacity));
        painter.drawRoundedRect(shadow, shadow.height() / 2, shadow.height() / 2);
    }
}

void OnboardingButton::paintLabel(QPainter& painter, const QRectF& capsule) const
{
    const QRectF content = capsule.marginsRemoved(QMarginsF(m_look.padding));
    const qreal arrow = m_look.arrowPixelSize;
    painter.setFont(m_font);
    painter.setPen(Qt::white);
    const QRectF titleRect(content.left(), content.top(), content.width() - labelSpacing - arrow,
                           content.height());
    painter.drawText(titleRect, Qt::AlignCenter, text());
    const QRectF arrowRect(content.right() - arrow, content.center().y() - arrow / 2, arrow, arrow);
    OnboardingSymbol::paint(painter, OnboardingSymbol::Symbol::arrowRight, arrowRect, Qt::white);
}
