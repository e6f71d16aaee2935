#include "OnboardingView.h"
#include "OnboardingCloseButton.h"
#include "OnboardingConfirmationScreen.h"
#include "OnboardingStyle.h"
#include "OnboardingTimeline.h"
#include "OnboardingWelcomeScreen.h"
#include "Preferences.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <QtMath>

namespace {

constexpr qreal cornerRadius = 20;
constexpr int closeInset = 14;

} // namespace

OnboardingView::OnboardingView(Preferences& preferences, CompletionAction onComplete, QWidget* parent)
    : QWidget(parent)
    , m_preferences(preferences)
    , m_onComplete(std::move(onComplete))
    , m_welcome(new OnboardingWelcomeScreen(this))
    , m_confirmation(new OnboardingConfirmationScreen(this))
    , m_closeButton(new OnboardingCloseButton(this))
    , m_appearance(new OnboardingTimeline(this))
    , m_screenSwitch(new OnboardingTimeline(this))
{
    m_welcome->setObjectName(QStringLiteral("welcomeScreen"));
    m_confirmation->setObjectName(QStringLiteral("confirmationScreen"));
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_confirmation->hide();
    resize(contentWidth, contentHeight);

    connect(m_welcome, &OnboardingWelcomeScreen::getStartedClicked, this, &OnboardingView::getStarted);
    connect(m_confirmation, &OnboardingConfirmationScreen::startUsingClicked, this,
            &OnboardingView::complete);
    // Closing is not completing: the flag stays as "Get Started" left it.
    connect(m_closeButton, &QAbstractButton::clicked, this, [this] { window()->close(); });
    connect(this, &OnboardingView::appearanceChanged, this, &OnboardingView::applyAppearance);
    applyAppearance();
}

void OnboardingView::configureWindow(QWidget& window)
{
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // The corners outside the rounded background stay see-through.
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setFixedSize(contentWidth, contentHeight);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, OnboardingStyle::background());
    window.setPalette(palette);
    if (const QScreen* screen = window.screen()) {
        QRect frame(QPoint(), window.size());
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

void OnboardingView::finishAnimations()
{
    m_appearance->finish();
    m_screenSwitch->finish();
    m_welcome->finishAnimations();
    m_confirmation->finishAnimations();
}

// A closed onboarding stays referenced until the process ends; its glow and shimmer loop
// forever, so they stop with the window rather than repainting an invisible one each frame.
void OnboardingView::hideEvent(QHideEvent*)
{
    finishAnimations();
}

void OnboardingView::showEvent(QShowEvent*)
{
    if (m_entranceStarted)
        return;
    m_entranceStarted = true;
    m_appearance->addStep(0, this, "appeared", 1, 300, QEasingCurve(QEasingCurve::OutCubic));
    m_appearance->start();
    m_welcome->startEntrance();
}

// The flag is stored before anything moves, so closing the window from here on still counts
// the onboarding as shown.
void OnboardingView::getStarted()
{
    if (m_currentScreen != 0)
        return;
    m_preferences.setValue(PreferenceKeys::onboardingShown, true);
    m_currentScreen = 1;
    m_confirmation->show();
    m_screenSwitch->addStep(0, this, "screenTransition", 1, 400, QEasingCurve(QEasingCurve::InOutQuad));
    m_screenSwitch->start();
    m_confirmation->startEntrance();
}

void OnboardingView::complete()
{
    if (m_completed)
        return;
    m_completed = true;
    if (m_onComplete)
        m_onComplete();
}

// The leaving screen slides out to the left while fading, the arriving one slides in from the
// right; the left-behind welcome screen is hidden so its button can no longer be reached.
void OnboardingView::applyAppearance()
{
    const int travel = qRound(width() * m_screenTransition);
    m_welcome->setGeometry(-travel, 0, width(), height());
    m_confirmation->setGeometry(width() - travel, 0, width(), height());
    m_welcome->setContentOpacity(m_appeared * (1 - m_screenTransition));
    m_confirmation->setContentOpacity(m_appeared * m_screenTransition);
    m_welcome->setVisible(m_screenTransition < 1);
    m_closeButton->move(width() - closeInset - m_closeButton->width(), closeInset);
    m_closeButton->raise();
    update();
}

void OnboardingView::resizeEvent(QResizeEvent*)
{
    applyAppearance();
}

// The screens' pulses draw small squares away from the rounded corners, where a plain fill is
// the same picture as the rounded outline at a fraction of its cost.
void OnboardingView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setOpacity(m_appeared);
    const int corner = qCeil(cornerRadius);
    const QRect dirty = event->rect();
    if (rect().adjusted(corner, 0, -corner, 0).contains(dirty) ||
        rect().adjusted(0, corner, 0, -corner).contains(dirty)) {
        // A rectangle at a time, under its own clip: filling several under one clip goes line
        // by line.
        for (const QRect& part : event->region()) {
            painter.setClipRect(part);
            painter.fillRect(part, OnboardingStyle::background());
        }
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(background, OnboardingStyle::background());
}

// Dragging the background moves the window. The window system is asked first: on Wayland only
// the compositor may move a window.
void OnboardingView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    QWindow* handle = window()->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_dragOffset = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void OnboardingView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragOffset)
        window()->move(event->globalPosition().toPoint() - *m_dragOffset);
    else
        QWidget::mouseMoveEvent(event);
}

void OnboardingView::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}
