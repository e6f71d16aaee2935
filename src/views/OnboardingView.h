#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class OnboardingCloseButton;
class OnboardingConfirmationScreen;
class OnboardingTimeline;
class OnboardingWelcomeScreen;
class Preferences;

// The content of the first-run window: a welcome screen whose "Get Started" marks the
// onboarding as shown, then a confirmation screen whose "Start Using lumatick" hands over to the
// application through the completion action. Every element enters with a timed animation.
class OnboardingView : public QWidget {
    Q_OBJECT
    // 0 while the content is still transparent, 1 once it has faded in.
    Q_PROPERTY(qreal appeared MEMBER m_appeared NOTIFY appearanceChanged)
    // Progress of the move from the welcome screen (0) to the confirmation screen (1).
    Q_PROPERTY(qreal screenTransition MEMBER m_screenTransition NOTIFY appearanceChanged)
public:
    using CompletionAction = std::function<void()>;

    static constexpr int contentWidth = 520;
    static constexpr int contentHeight = 420;

    // Keeps a reference to `preferences`, which must outlive the view.
    OnboardingView(Preferences& preferences, CompletionAction onComplete, QWidget* parent = nullptr);

    // Gives the window around the view its look: fixed size, dark rounded background, floating
    // above ordinary windows, no title bar (the view draws its own close control and lets the
    // user drag the window by its background), centred on its screen.
    static void configureWindow(QWidget& window);

    // 0 = welcome screen, 1 = confirmation screen.
    int currentScreen() const { return m_currentScreen; }
    // Jumps every running or scheduled entrance to its end and stops the repeating glow and
    // shimmer at rest, so that a still picture shows the finished screen.
    void finishAnimations();

Q_SIGNALS:
    void appearanceChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void getStarted();
    void complete();
    void applyAppearance();

    Preferences& m_preferences;
    CompletionAction m_onComplete;
    OnboardingWelcomeScreen* m_welcome = nullptr;
    OnboardingConfirmationScreen* m_confirmation = nullptr;
    OnboardingCloseButton* m_closeButton = nullptr;
    OnboardingTimeline* m_appearance = nullptr;
    OnboardingTimeline* m_screenSwitch = nullptr;
    int m_currentScreen = 0;
    qreal m_appeared = 0;
    qreal m_screenTransition = 0;
    bool m_entranceStarted = false;
    bool m_completed = false;
    // Set while the window is moved by hand because the window system cannot move it itself.
    std::optional<QPoint> m_dragOffset;
};
