#pragma once

#include <QWidget>

class OnboardingButton;
class OnboardingTimeline;

// The first screen of the onboarding: the application's symbol over a soft glow, the welcome
// title, three feature lines and the "Get Started" button, each entering in turn.
//
// Each state flag is held as the progress of its change, 0 for false and 1 for true, so that the
// animation framework can move it; a spring may briefly carry a value past 1.
class OnboardingWelcomeScreen : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal iconLanded MEMBER m_iconLanded NOTIFY stateChanged)
    Q_PROPERTY(qreal titleVisible MEMBER m_titleVisible NOTIFY stateChanged)
    Q_PROPERTY(qreal bullet1Visible MEMBER m_bullet1Visible NOTIFY stateChanged)
    Q_PROPERTY(qreal bullet2Visible MEMBER m_bullet2Visible NOTIFY stateChanged)
    Q_PROPERTY(qreal bullet3Visible MEMBER m_bullet3Visible NOTIFY stateChanged)
    Q_PROPERTY(qreal buttonVisible MEMBER m_buttonVisible NOTIFY stateChanged)
    Q_PROPERTY(qreal glowPulse MEMBER m_glowPulse NOTIFY glowChanged)
public:
    explicit OnboardingWelcomeScreen(QWidget* parent = nullptr);

    // Schedules every element's entrance; times count from this call.
    void startEntrance();
    void finishAnimations();
    // The fade of the whole screen, set by the view while it appears or leaves.
    void setContentOpacity(qreal opacity);

Q_SIGNALS:
    void stateChanged();
    // The endless pulse, which repaints only the glow and the button.
    void glowChanged();
    void getStartedClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Layout {
        QRectF icon;
        QRectF title;
        QList<QRectF> bullets;
    };

    Layout layout() const;
    static QRect glowZone(const QRectF& icon);
    void showGlowPulse();
    void syncButton();
    void paintIcon(QPainter& painter, const QRectF& zone) const;
    void paintBullet(QPainter& painter, int index, const QRectF& rect, qreal shown) const;

    OnboardingButton* m_button = nullptr;
    OnboardingTimeline* m_timeline = nullptr;
    qreal m_contentOpacity = 1;
    qreal m_iconLanded = 0;
    qreal m_titleVisible = 0;
    qreal m_bullet1Visible = 0;
    qreal m_bullet2Visible = 0;
    qreal m_bullet3Visible = 0;
    qreal m_buttonVisible = 0;
    qreal m_glowPulse = 0;
    // The glow's opacity as last drawn, in its visible steps.
    qreal m_glowAlpha = 0;
    Layout m_layout;
};
