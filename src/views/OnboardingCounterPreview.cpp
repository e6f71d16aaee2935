#include "OnboardingCounterPreview.h"
#include "OnboardingStyle.h"
#include "OnboardingSymbol.h"
#include "TierColors.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal horizontalPadding = 24;
constexpr qreal verticalPadding = 14;
constexpr qreal cornerRadius = 10;
constexpr qreal dividerHeight = 24;
constexpr qreal dividerGap = 16;
constexpr qreal symbolSize = 16;
constexpr qreal symbolGap = 6;
constexpr qreal shimmerWidth = 0.4;

struct Sample {
    ThresholdTier tier;
    QString text;
};

std::array<Sample, 3> samples()
{
    return {{{ThresholdTier::green, u"2h 14m"_s},
             {ThresholdTier::yellow, u"5h 30m"_s},
             {ThresholdTier::red, u"8h 02m"_s}}};
}

QFont sampleFont()
{
    return OnboardingStyle::font(13, QFont::Medium);
}

qreal rowHeight()
{
    return std::max(dividerHeight, QFontMetricsF(sampleFont()).height());
}

} // namespace

QSizeF OnboardingCounterPreview::size()
{
    qreal row = 2 * (2 * dividerGap + 1);
    for (int i = 0; i < 3; ++i)
        row += sampleWidth(i);
    return {row + 2 * horizontalPadding, rowHeight() + 2 * verticalPadding};
}

void OnboardingCounterPreview::paint(QPainter& painter, const QRectF& card, qreal shimmerPhase)
{
    OnboardingStyle::paintStill(painter, QStringLiteral("counter-preview"), card,
                                [&card](QPainter& still) { paintCard(still, card); });
    paintShimmer(painter, card, shimmerPhase);
}

void OnboardingCounterPreview::paintCard(QPainter& painter, const QRectF& card)
{
    const QRectF outline = card.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(OnboardingStyle::border(), 1));
    painter.setBrush(OnboardingStyle::raisedSurface());
    painter.drawRoundedRect(outline, cornerRadius, cornerRadius);

    qreal x = card.left() + horizontalPadding;
    const qreal top = card.top() + verticalPadding;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            x += dividerGap;
            painter.fillRect(QRectF(x, top + (rowHeight() - dividerHeight) / 2, 1, dividerHeight),
                             OnboardingStyle::border());
            x += 1 + dividerGap;
        }
        paintSample(painter, i, QRectF(x, top, sampleWidth(i), rowHeight()));
        x += sampleWidth(i);
    }
}

qreal OnboardingCounterPreview::sampleWidth(int index)
{
    const QString text = samples()[static_cast<std::size_t>(index)].text;
    return symbolSize + symbolGap + QFontMetricsF(sampleFont()).horizontalAdvance(text);
}

void OnboardingCounterPreview::paintSample(QPainter& painter, int index, const QRectF& rect)
{
    const Sample sample = samples()[static_cast<std::size_t>(index)];
    const QRectF symbol(rect.left(), rect.center().y() - symbolSize / 2, symbolSize, symbolSize);
    OnboardingSymbol::paint(painter, OnboardingSymbol::Symbol::clockFill, symbol,
                            TierColors::defaultColor(sample.tier));
    painter.setFont(sampleFont());
    painter.setPen(OnboardingStyle::primaryText());
    painter.drawText(rect.adjusted(symbolSize + symbolGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     sample.text);
}

// A band of 40% of the card's width travels from wholly left of the card to wholly right of it,
// clipped to the card's rounded outline.
QRectF OnboardingCounterPreview::shimmerBand(const QRectF& card, qreal shimmerPhase)
{
    const qreal band = card.width() * shimmerWidth;
    const qreal left = card.left() - band + shimmerPhase * (card.width() + band);
    return {left, card.top(), band, card.height()};
}

void OnboardingCounterPreview::paintShimmer(QPainter& painter, const QRectF& card, qreal shimmerPhase)
{
    const QRectF band = shimmerBand(card, shimmerPhase);
    QLinearGradient gradient(band.left(), 0, band.right(), 0);
    gradient.setColorAt(0, Qt::transparent);
    gradient.setColorAt(0.5, OnboardingStyle::withAlpha(Qt::white, 0.28));
    gradient.setColorAt(1, Qt::transparent);
    QPainterPath outline;
    outline.addRoundedRect(card, cornerRadius, cornerRadius);
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    painter.fillRect(band, gradient);
    painter.restore();
}
