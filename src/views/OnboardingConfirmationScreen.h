#pragma once

#include <QWidget>

class OnboardingButton;
class OnboardingTimeline;

// The second screen of the onboarding: a check mark drawing itself inside a circle, the
// confirmation texts, a preview of the menu bar counter in its three colours and the button
// that finishes the onboarding.
//
// As on the first screen, each "shown" flag is held as the progress of its change (0 to 1).
class OnboardingConfirmationScreen : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal circleTrim MEMBER m_circleTrim NOTIFY stateChanged)
    Q_PROPERTY(qreal checkmarkTrim MEMBER m_checkmarkTrim NOTIFY stateChanged)
    Q_PROPERTY(qreal glowOpacity MEMBER m_glowOpacity NOTIFY glowChanged)
    Q_PROPERTY(qreal headlineVisible MEMBER m_headlineVisible NOTIFY stateChanged)
    Q_PROPERTY(qreal subtextVisible MEMBER m_subtextVisible NOTIFY stateChanged)
    Q_PROPERTY(qreal previewVisible MEMBER m_previewVisible NOTIFY stateChanged)
    Q_PROPERTY(qreal button2Visible MEMBER m_button2Visible NOTIFY stateChanged)
    Q_PROPERTY(qreal shimmerPhase MEMBER m_shimmerPhase NOTIFY shimmerChanged)
public:
    explicit OnboardingConfirmationScreen(QWidget* parent = nullptr);

    // Schedules every element's entrance; times count from this call, the press of the first
    // screen's button.
    void startEntrance();
    void finishAnimations();
    void setContentOpacity(qreal opacity);

Q_SIGNALS:
    void stateChanged();
    // The endless glow and shimmer, which repaint only the badge and a strip of the preview.
    void glowChanged();
    void shimmerChanged();
    void startUsingClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Layout {
        QRectF badge;
        QRectF headline;
        QRectF subtext;
        QRectF preview;
    };

    Layout layout() const;
    static QRect glowZone(const QRectF& badge);
    void showGlow();
    void showShimmer();
    void syncButton();
    void paintBadge(QPainter& painter, const QRectF& zone) const;
    void paintCheckmark(QPainter& painter, const QRectF& circle) const;

    OnboardingButton* m_button = nullptr;
    OnboardingTimeline* m_timeline = nullptr;
    qreal m_contentOpacity = 1;
    qreal m_circleTrim = 0;
    qreal m_checkmarkTrim = 0;
    // The glow is faintly there from the start.
    qreal m_glowOpacity = 0.3;
    qreal m_headlineVisible = 0;
    qreal m_subtextVisible = 0;
    qreal m_previewVisible = 0;
    qreal m_button2Visible = 0;
    qreal m_shimmerPhase = 0;
    // The glow's opacity as last drawn, in its visible steps, and where the shimmer was.
    qreal m_glowAlpha = 0;
    QRectF m_shimmerBand;
    Layout m_layout;
};
