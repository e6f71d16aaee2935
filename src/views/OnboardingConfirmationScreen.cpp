#include "OnboardingConfirmationScreen.h"
#include "OnboardingButton.h"
#include "OnboardingCheckmarkShape.h"
#include "OnboardingCounterPreview.h"
#include "OnboardingStyle.h"
#include "OnboardingTimeline.h"

#include <QFontMetricsF>
#include <QPaintEvent>
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
    connect(this, &OnboardingConfirmationScreen::glowChanged, this, &OnboardingConfirmationScreen::showGlow);
    connect(this, &OnboardingConfirmationScreen::shimmerChanged, this,
            &OnboardingConfirmationScreen::showShimmer);
    showGlow();
    syncButton();
}

// The glow and the shimmer run for as long as the window is open; only what changed visibly is
// drawn again.
void OnboardingConfirmationScreen::showGlow()
{
    const qreal alpha = OnboardingStyle::steppedGlowAlpha(0.3 * m_glowOpacity);
    if (alpha == m_glowAlpha)
        return;
    m_glowAlpha = alpha;
    update(glowZone(m_layout.badge));
}

// The band lights a part of the card: the strip it leaves and the one it reaches are drawn again.
void OnboardingConfirmationScreen::showShimmer()
{
    const QRectF card = m_layout.preview;
    const QRectF band = OnboardingCounterPreview::shimmerBand(card, m_shimmerPhase);
    // The band is drawn from the nearest whole pixel: a pixel more on each side covers that.
    update(band.united(m_shimmerBand).adjusted(-1, 0, 1, 0).intersected(card).toAlignedRect());
    m_shimmerBand = band;
}

QRect OnboardingConfirmationScreen::glowZone(const QRectF& badge)
{
    return badge.adjusted(-glowBlur, -glowBlur, glowBlur, glowBlur).toAlignedRect();
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
    m_layout = layout();
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
    result.preview = QRectF(QPointF(qRound((width() - preview.width()) / 2), qRound(y)), preview);
    return result;
}

// Parts outside the region being drawn are left out: a frame of the glow or the shimmer draws
// only the badge's square or a strip of the card. When a frame draws both, each part is clipped
// to its own rectangle: under a clip of several rectangles the painter blends line by line and
// hands the lines to other threads, where under one rectangle it copies pictures directly.
void OnboardingConfirmationScreen::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout& parts = m_layout;
    const QRegion& dirty = event->region();

    if (dirty.intersects(glowZone(parts.badge))) {
        painter.save();
        painter.setClipRect(glowZone(parts.badge), Qt::IntersectClip);
        painter.setOpacity(m_contentOpacity);
        paintBadge(painter, parts.badge);
        painter.restore();
    }

    const QRectF headline = parts.headline.translated(0, (1 - m_headlineVisible) * 10);
    if (dirty.intersects(headline.toAlignedRect())) {
        painter.setOpacity(m_contentOpacity * opacityOf(m_headlineVisible));
        painter.setFont(headlineFont());
        painter.setPen(OnboardingStyle::primaryText());
        painter.drawText(headline, Qt::AlignCenter, u"You're all set."_s);
    }

    if (dirty.intersects(parts.subtext.toAlignedRect())) {
        painter.setOpacity(m_contentOpacity * opacityOf(m_subtextVisible));
        painter.setFont(subtextFont());
        painter.setPen(OnboardingStyle::secondaryText());
        painter.drawText(parts.subtext, Qt::AlignCenter, u"Look for the time counter in your menu bar."_s);
    }

    if (!dirty.intersects(parts.preview.toAlignedRect()))
        return;
    painter.setClipRect(parts.preview.toAlignedRect(), Qt::IntersectClip);
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
                               OnboardingStyle::withAlpha(OnboardingStyle::success(), m_glowAlpha));
    QRectF circle(0, 0, circleSize, circleSize);
    circle.moveCenter(zone.center());
    if (m_circleTrim < 1 || m_checkmarkTrim < 1) {
        paintCheckmark(painter, circle);
        return;
    }
    // The drawn check mark, over the pulsing glow; the stroke reaches out by half its width.
    const qreal reach = strokeWidth / 2;
    OnboardingStyle::paintStill(painter, QStringLiteral("onboarding-checkmark"),
                                circle.adjusted(-reach, -reach, reach, reach),
                                [this, &circle](QPainter& still) { paintCheckmark(still, circle); });
}

void OnboardingConfirmationScreen::paintCheckmark(QPainter& painter, const QRectF& circle) const
{
    painter.setPen(QPen(OnboardingStyle::success(), strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const int span = static_cast<int>(-360 * 16 * std::clamp(m_circleTrim, 0.0, 1.0));
    if (span != 0)
        painter.drawArc(circle, 90 * 16, span);
    if (m_checkmarkTrim > 0)
        painter.drawPath(OnboardingCheckmarkShape::trimmedPath(circle, m_checkmarkTrim));
}
