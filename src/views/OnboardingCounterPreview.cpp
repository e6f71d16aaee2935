#include "OnboardingCounterPreview.h"
#include "OnboardingStyle.h"
#include "OnboardingSymbol.h"
#include "TierColors.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <QtMath>

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

// In whole pixels, so that the card, placed at a whole pixel, has the straight edges that the
// shimmer's rectangular clip relies on.
QSizeF OnboardingCounterPreview::size()
{
    qreal row = 2 * (2 * dividerGap + 1);
    for (int i = 0; i < 3; ++i)
        row += sampleWidth(i);
    return QSizeF(qCeil(row + 2 * horizontalPadding), qCeil(rowHeight() + 2 * verticalPadding));
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

// The band's picture, made once per size: copying it to a whole-pixel place costs a fraction of
// filling the gradient again at every frame of the sweep.
QPixmap OnboardingCounterPreview::shimmerPicture(const QSizeF& band, qreal ratio)
{
    const QString key =
        QStringLiteral("lumatick-shimmer-%1x%2-%3").arg(band.width()).arg(band.height()).arg(ratio);
    QPixmap picture;
    if (QPixmapCache::find(key, &picture))
        return picture;
    picture = QPixmap(qCeil(band.width() * ratio), qCeil(band.height() * ratio));
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, band.width(), 0);
    gradient.setColorAt(0, Qt::transparent);
    gradient.setColorAt(0.5, OnboardingStyle::withAlpha(Qt::white, 0.28));
    gradient.setColorAt(1, Qt::transparent);
    painter.fillRect(QRectF(QPointF(), band), gradient);
    painter.end();
    QPixmapCache::insert(key, picture);
    return picture;
}

// Between the rounded corners the card's outline is a rectangle, and the picture is copied
// under a rectangular clip; only the columns of the corners are clipped to the rounded outline,
// a few short lines that the painter fills without handing work to other threads.
void OnboardingCounterPreview::paintShimmer(QPainter& painter, const QRectF& card, qreal shimmerPhase)
{
    const QRectF band = shimmerBand(card, shimmerPhase);
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QPointF at(qRound(band.left() * ratio) / ratio, band.top());
    const QPixmap picture = shimmerPicture(band.size(), ratio);
    const QRectF drawn(at, band.size());
    QPainterPath outline;
    outline.addRoundedRect(card, cornerRadius, cornerRadius);
    const QRectF middle = card.adjusted(cornerRadius, 0, -cornerRadius, 0);
    const std::array<QRectF, 3> columns{QRectF(card.topLeft(), QPointF(middle.left(), card.bottom())), middle,
                                        QRectF(QPointF(middle.right(), card.top()), card.bottomRight())};
    for (const QRectF& column : columns) {
        if (!column.intersects(drawn))
            continue;
        painter.save();
        painter.setClipRect(column.toRect(), Qt::IntersectClip);
        if (&column != &columns[1])
            painter.setClipPath(outline, Qt::IntersectClip);
        painter.drawPixmap(at, picture);
        painter.restore();
    }
}
