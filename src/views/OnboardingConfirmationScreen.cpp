#include "OnboardingConfirmationScreen.h"
#include "OnboardingButton.h"
#include "OnboardingCheckmarkShape.h"
#include "OnboardingCounterPreview.h"
#include "OnboardingStyle.h"
#include "OnboardingTimeline.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal badgeZone = 100;
constexpr qreal glowBlur = 16;
constexpr qreal circleSize = 72;
constexpr qreal strokeWidth = 7;
constexpr qreal headlineGap = 24;
constexpr qreal subtextGap = 8;
constexpr qreal previewGap = 24;
constexpr qreal previewHiddenScale = 0.88;
constexpr int buttonBottomInset = 48;

QFont headlineFont()
{
    return OnboardingStyle::font(24, QFont::Bold);
}

QFont subtextFont()
{
    return OnboardingStyle::font(15, QFont::Normal);
}

qreal opacityOf(qreal shown)
{
    return std::clamp(shown, 0.0, 1.0);
}

} // namespace

OnboardingConfirmationScreen::OnboardingConfirmationScreen(QWidget* parent)
    : QWidget(parent)
    , m_button(new OnboardingButton(u"Start Using lumatick"_s, {16, 14, QMargins(36, 14, 36, 14), 0.45, 1.0},
                                    this))
    , m_timeline(new OnboardingTimeline(this))
{
    m_button->setObjectName(u"startUsingButton"_s);
    connect(m_button, &QAbstractButton::clicked, this, &OnboardingConfirmationScreen::startUsingClicked);
    connect(this, &OnboardingConfirmationScreen::stateChanged, this, [this] {
        syncButton();
        update();
    });
    connect(this, &OnboardingConfirmationScreen::loopChanged, this, [this] {
        const Layout parts = layout();
        update(parts.badge.adjusted(-glowBlur, -glowBlur, glowBlur, glowBlur).toAlignedRect());
        update(parts.preview.toAlignedRect());
    });
    syncButton();
}

// The check mark starts drawing only once the circle around it is well under way.
void OnboardingConfirmationScreen::startEntrance()
{
    const QEasingCurve easeOut(QEasingCurve::OutCubic);
    const QEasingCurve easeInOut(QEasingCurve::InOutQuad);
    m_timeline->addStep(500, this, "circleTrim", 1, 400, easeOut);
    m_timeline->addStep(900, this, "checkmarkTrim", 1, 300, easeOut);
    m_timeline->addLoop(1200, this, "glowOpacity", 0.3, 1, 1200, easeInOut, true);
    m_timeline->addStep(1300, this, "headlineVisible", 1, 400, easeOut);
    m_timeline->addStep(1500, this, "subtextVisible", 1, 400, easeOut);
    m_timeline->addStep(1700, this, "previewVisible", 1, 400, easeOut);
    m_timeline->addStep(2100, this, "button2Visible", 1, 300, easeInOut);
    m_timeline->addLoop(2300, this, "shimmerPhase", 0, 1, 2000, QEasingCurve(QEasingCurve::Linear), false);
    m_timeline->start();
}

void OnboardingConfirmationScreen::finishAnimations()
{
    m_timeline->finish();
}

void OnboardingConfirmationScreen::setContentOpacity(qreal opacity)
{
    m_contentOpacity = opacity;
    syncButton();
    update();
}

void OnboardingConfirmationScreen::resizeEvent(QResizeEvent*)
{
    m_button->placeAboveBottom(buttonBottomInset);
}

void OnboardingConfirmationScreen::syncButton()
{
    m_button->setContentOpacity(m_contentOpacity);
    m_button->setShown(m_button2Visible);
}

// Badge, texts and preview form one block, centred in the space above the button.
OnboardingConfirmationScreen::Layout OnboardingConfirmationScreen::layout() const
{
    const qreal headlineHeight = QFontMetricsF(headlineFont()).height();
    const qreal subtextHeight = QFontMetricsF(subtextFont()).height();
    const QSizeF preview = OnboardingCounterPreview::size();
    const qreal blockHeight =
        badgeZone + headlineGap + headlineHeight + subtextGap + subtextHeight + previewGap + preview.height();
    qreal y = std::max<qreal>(0, (m_button->geometry().top() - blockHeight) / 2);

    Layout result;
    result.badge = QRectF((width() - badgeZone) / 2, y, badgeZone, badgeZone);
    y += badgeZone + headlineGap;
    result.headline = QRectF(0, y, width(), headlineHeight);
    y += headlineHeight + subtextGap;
    result.subtext = QRectF(0, y, width(), subtextHeight);
    y += subtextHeight + previewGap;
    result.preview = QRectF(QPointF((width() - preview.width()) / 2, y), preview);
    return result;
}

void OnboardingConfirmationScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout parts = layout();

    painter.setOpacity(m_contentOpacity);
    paintBadge(painter, parts.badge);

    painter.setOpacity(m_contentOpacity * opacityOf(m_headlineVisible));
    painter.setFont(headlineFont());
    painter.setPen(OnboardingStyle::primaryText());
    painter.drawText(parts.headline.translated(0, (1 - m_headlineVisible) * 10), Qt::AlignCenter,
                     u"You're all set."_s);

    painter.setOpacity(m_contentOpacity * opacityOf(m_subtextVisible));
    painter.setFont(subtextFont());
    painter.setPen(OnboardingStyle::secondaryText());
    painter.drawText(parts.subtext, Qt::AlignCenter, u"Look for the time counter in your menu bar."_s);

    painter.setOpacity(m_contentOpacity * opacityOf(m_previewVisible));
    const qreal scale = previewHiddenScale + (1 - previewHiddenScale) * m_previewVisible;
    painter.translate(parts.preview.center());
    painter.scale(scale, scale);
    painter.translate(-parts.preview.center());
    OnboardingCounterPreview::paint(painter, parts.preview, m_shimmerPhase);
}

// The circle is drawn clockwise from the top, then the check mark inside it, both growing along
// their stroke.
void OnboardingConfirmationScreen::paintBadge(QPainter& painter, const QRectF& zone) const
{
    OnboardingStyle::paintGlow(painter, zone.center(), badgeZone / 2, glowBlur,
                               OnboardingStyle::withAlpha(OnboardingStyle::success(), 0.3 * m_glowOpacity));
    QRectF circle(0, 0, circleSize, circleSize);
    circle.moveCenter(zone.center());
    painter.setPen(QPen(OnboardingStyle::success(), strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const int span = static_cast<int>(-360 * 16 * std::clamp(m_circleTrim, 0.0, 1.0));
    if (span != 0)
        painter.drawArc(circle, 90 * 16, span);
    if (m_checkmarkTrim > 0)
        painter.drawPath(OnboardingCheckmarkShape::trimmedPath(circle, m_checkmarkTrim));
}
