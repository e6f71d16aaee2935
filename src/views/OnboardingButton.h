#pragma once

#include <QAbstractButton>
#include <QFont>
#include <QMargins>

// The first-run window's call to action: a title and a right arrow, white on an accent capsule
// with a soft accent shadow. It fades and scales itself as its screen's entrance runs.
class OnboardingButton : public QAbstractButton {
    Q_OBJECT
public:
    struct Look {
        int titlePixelSize;
        int arrowPixelSize;
        QMargins padding;
        double shadowOpacity;
        // Scale while not yet shown; 1 when the button only fades in.
        double hiddenScale;
    };

    OnboardingButton(const QString& title, const Look& look, QWidget* parent = nullptr);

    // 0 = not yet shown (transparent), 1 = shown; values between while entering.
    void setShown(qreal shown);
    // Extra scale of up to 2% while the screen's glow pulses (0 to 1), in steps too small to see.
    void setBreathing(qreal breathing);
    // The opacity of the whole screen around the button.
    void setContentOpacity(qreal opacity);

    // Centres the capsule horizontally in the parent with its bottom `inset` above the parent's.
    void placeAboveBottom(int inset);

    qreal effectiveOpacity() const;
    qreal effectiveScale() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize capsuleSize() const;
    void paintFace(QPainter& painter) const;
    void paintShadow(QPainter& painter, const QRectF& capsule) const;
    void paintLabel(QPainter& painter, const QRectF& capsule) const;

    Look m_look;
    QFont m_font;
    qreal m_shown = 0;
    int m_breathingStep = 0;
    qreal m_contentOpacity = 1;
};
