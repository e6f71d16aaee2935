#include "OnboardingWelcomeScreen.h"
#include "OnboardingButton.h"
#include "OnboardingStyle.h"
#include "OnboardingSymbol.h"
#include "OnboardingTimeline.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal iconZone = 120;
constexpr qreal iconGlowBlur = 24;
constexpr int iconSymbolSize = 48;
constexpr qreal titleGap = 20;
constexpr qreal bulletsGap = 28;
constexpr qreal bulletInset = 60;
constexpr qreal bulletSpacing = 14;
constexpr qreal bulletLineSpacing = 10;
constexpr qreal bulletSymbolFrame = 24;
constexpr int bulletSymbolSize = 16;
constexpr int buttonBottomInset = 48;

struct Bullet {
    OnboardingSymbol::Symbol symbol;
    QString text;
};

std::array<Bullet, 3> bullets()
{
    using Symbol = OnboardingSymbol::Symbol;
    return {{
        {Symbol::timer, u"Tracks your active screen time automatically — pauses when you step away."_s},
        {Symbol::circleLeftHalfFilled,
         u"Your menu bar counter changes color based on your daily thresholds."_s},
        {Symbol::bellFill, u"Get break reminders and daily summaries to stay mindful of your habits."_s},
    }};
}

QFont titleFont()
{
    return OnboardingStyle::font(24, QFont::Bold);
}

QFont bulletFont()
{
    return OnboardingStyle::font(14, QFont::Normal);
}

// While not yet shown an element sits `distance` pixels away and is transparent; a spring that
// overshoots moves it past its place but never makes it more than opaque.
QRectF entering(const QRectF& rect, qreal shown, qreal distance)
{
    return rect.translated(0, (1 - shown) * distance);
}

qreal opacityOf(qreal shown)
{
    return std::clamp(shown, 0.0, 1.0);
}

} // namespace

OnboardingWelcomeScreen::OnboardingWelcomeScreen(QWidget* parent)
    : QWidget(parent)
    , m_button(new OnboardingButton(u"Get Started"_s, {15, 13, QMargins(32, 12, 32, 12), 0.4, 0.9}, this))
    , m_timeline(new OnboardingTimeline(this))
{
    m_button->setObjectName(u"getStartedButton"_s);
    connect(m_button, &QAbstractButton::clicked, this, &OnboardingWelcomeScreen::getStartedClicked);
    connect(this, &OnboardingWelcomeScreen::stateChanged, this, [this] {
        syncButton();
        update();
    });
    connect(this, &OnboardingWelcomeScreen::glowChanged, this, &OnboardingWelcomeScreen::showGlowPulse);
    showGlowPulse();
}

// The pulse runs for as long as the window is open; only what changed visibly is drawn again.
void OnboardingWelcomeScreen::showGlowPulse()
{
    syncButton();
    const qreal alpha = OnboardingStyle::steppedGlowAlpha(0.08 + (0.25 - 0.08) * m_glowPulse);
    if (alpha == m_glowAlpha)
        return;
    m_glowAlpha = alpha;
    update(glowZone(m_layout.icon));
}

QRect OnboardingWelcomeScreen::glowZone(const QRectF& icon)
{
    return icon.adjusted(-iconGlowBlur, -iconGlowBlur, iconGlowBlur, iconGlowBlur).toAlignedRect();
}

// The spring of the landing symbol becomes an overshooting ease-out of about its settling time.
void OnboardingWelcomeScreen::startEntrance()
{
    const QEasingCurve easeOut(QEasingCurve::OutCubic);
    QEasingCurve spring(QEasingCurve::OutBack);
    spring.setOvershoot(1.2);
    m_timeline->addStep(200, this, "iconLanded", 1, 700, spring);
    m_timeline->addStep(500, this, "titleVisible", 1, 400, easeOut);
    m_timeline->addStep(700, this, "bullet1Visible", 1, 350, easeOut);
    m_timeline->addStep(850, this, "bullet2Visible", 1, 350, easeOut);
    m_timeline->addStep(1000, this, "bullet3Visible", 1, 350, easeOut);
    m_timeline->addStep(1200, this, "buttonVisible", 1, 300, easeOut);
    m_timeline->addLoop(1300, this, "glowPulse", 0, 1, 2000, QEasingCurve(QEasingCurve::InOutQuad), true);
    m_timeline->start();
}

void OnboardingWelcomeScreen::finishAnimations()
{
    m_timeline->finish();
}

// Once the second screen has taken its place, the first one's pulse has no one to show to.
void OnboardingWelcomeScreen::hideEvent(QHideEvent*)
{
    finishAnimations();
}

void OnboardingWelcomeScreen::setContentOpacity(qreal opacity)
{
    m_contentOpacity = opacity;
    syncButton();
    update();
}

// The layout measures wrapped text, too slow for every frame of the pulse: it is kept.
void OnboardingWelcomeScreen::resizeEvent(QResizeEvent*)
{
    m_button->placeAboveBottom(buttonBottomInset);
    m_layout = layout();
}

void OnboardingWelcomeScreen::syncButton()
{
    m_button->setContentOpacity(m_contentOpacity);
    m_button->setShown(m_buttonVisible);
    m_button->setBreathing(m_glowPulse);
}

// The symbol, title and feature lines form one block, centred in the space above the button.
OnboardingWelcomeScreen::Layout OnboardingWelcomeScreen::layout() const
{
    Layout result;
    const qreal bulletWidth = width() - 2 * bulletInset;
    const qreal textWidth = bulletWidth - bulletSymbolFrame - bulletSpacing;
    const QFontMetricsF bulletMetrics(bulletFont());
    qreal bulletsHeight = 0;
    QList<qreal> heights;
    for (const Bullet& bullet : bullets()) {
        const qreal height =
            bulletMetrics.boundingRect(QRectF(0, 0, textWidth, 1000), Qt::TextWordWrap, bullet.text).height();
        heights.append(height);
        bulletsHeight += height + (heights.size() > 1 ? bulletLineSpacing : 0);
    }
    const qreal titleHeight = QFontMetricsF(titleFont()).height();
    const qreal blockHeight = iconZone + titleGap + titleHeight + bulletsGap + bulletsHeight;
    const qreal space = m_button->geometry().top();
    qreal y = std::max<qreal>(0, (space - blockHeight) / 2);

    result.icon = QRectF((width() - iconZone) / 2, y, iconZone, iconZone);
    y += iconZone + titleGap;
    result.title = QRectF(0, y, width(), titleHeight);
    y += titleHeight + bulletsGap;
    for (qreal height : std::as_const(heights)) {
        result.bullets.append(QRectF(bulletInset, y, bulletWidth, height));
        y += height + bulletLineSpacing;
    }
    return result;
}

// Parts outside the region being drawn are left out: a pulse frame draws only the glow's square.
void OnboardingWelcomeScreen::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout& parts = m_layout;
    const QRegion& dirty = event->region();

    const QRectF icon = entering(parts.icon, m_iconLanded, -30);
    if (dirty.intersects(glowZone(icon))) {
        painter.setOpacity(m_contentOpacity * opacityOf(m_iconLanded));
        paintIcon(painter, icon);
    }

    const QRectF title = entering(parts.title, m_titleVisible, 10);
    if (dirty.intersects(title.toAlignedRect())) {
        painter.setOpacity(m_contentOpacity * opacityOf(m_titleVisible));
        painter.setFont(titleFont());
        painter.setPen(OnboardingStyle::primaryText());
        painter.drawText(title, Qt::AlignCenter, u"Welcome to lumatick"_s);
    }

    const std::array shown{m_bullet1Visible, m_bullet2Visible, m_bullet3Visible};
    for (int i = 0; i < 3; ++i) {
        const QRectF bullet = entering(parts.bullets[i], shown[i], 8);
        if (dirty.intersects(bullet.toAlignedRect()))
            paintBullet(painter, i, bullet, shown[i]);
    }
}

void OnboardingWelcomeScreen::paintIcon(QPainter& painter, const QRectF& zone) const
{
    OnboardingStyle::paintGlow(painter, zone.center(), iconZone / 2, iconGlowBlur,
                               OnboardingStyle::withAlpha(OnboardingStyle::accent(), m_glowAlpha));
    QRectF symbol(0, 0, iconSymbolSize, iconSymbolSize);
    symbol.moveCenter(zone.center());
    OnboardingStyle::paintStill(painter, QStringLiteral("onboarding-clock"), symbol,
                                [&symbol](QPainter& still) {
                                    OnboardingSymbol::paint(still, OnboardingSymbol::Symbol::clockFill,
                                                            symbol, OnboardingStyle::accent());
                                });
}

void OnboardingWelcomeScreen::paintBullet(QPainter& painter, int index, const QRectF& rect, qreal shown) const
{
    const Bullet bullet = bullets()[static_cast<std::size_t>(index)];
    painter.setOpacity(m_contentOpacity * opacityOf(shown));
    // The symbol is centred against the whole text, which may wrap.
    const QRectF frame(rect.left(), rect.top(), bulletSymbolFrame, rect.height());
    QRectF symbol(0, 0, bulletSymbolSize, bulletSymbolSize);
    symbol.moveCenter(frame.center());
    OnboardingSymbol::paint(painter, bullet.symbol, symbol, OnboardingStyle::accent());

    painter.setFont(bulletFont());
    painter.setPen(OnboardingStyle::secondaryText());
    const QRectF text = rect.adjusted(bulletSymbolFrame + bulletSpacing, 0, 0, 0);
    painter.drawText(text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, bullet.text);
}
