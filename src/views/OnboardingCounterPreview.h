#pragma once

#include <QRectF>
#include <QSizeF>

class QPainter;
class QPixmap;

// The card on the onboarding's second screen that shows what the menu bar counter looks like in
// each of its three colours, with a light shimmer sweeping across it.
class OnboardingCounterPreview {
public:
    static QSizeF size();
    // `shimmerPhase` 0 puts the shimmer just left of the card, 1 just right of it.
    static void paint(QPainter& painter, const QRectF& card, qreal shimmerPhase);
    // Where the shimmer's band lies at `shimmerPhase`; it is drawn only where it meets the card.
    static QRectF shimmerBand(const QRectF& card, qreal shimmerPhase);

private:
    static void paintCard(QPainter& painter, const QRectF& card);
    static qreal sampleWidth(int index);
    static void paintSample(QPainter& painter, int index, const QRectF& rect);
    static QPixmap shimmerPicture(const QSizeF& band, qreal ratio);
    static void paintShimmer(QPainter& painter, const QRectF& card, qreal shimmerPhase);
};
