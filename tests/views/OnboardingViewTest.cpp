#include "OnboardingView.h"
#include "OnboardingButton.h"
#include "OnboardingCheckmarkShape.h"
#include "OnboardingStyle.h"
#include "Preferences.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Animation time that moves only when the test says so, so that each moment of an entrance can
// be looked at without waiting or racing the wall clock. It counts from its own start, which the
// animation system requests when the first animation begins.
class SteppedAnimationDriver : public QAnimationDriver {
public:
    void advanceBy(qint64 milliseconds)
    {
        m_elapsed += milliseconds;
        advance();
    }
    qint64 elapsed() const override { return m_elapsed; }

protected:
    void start() override
    {
        m_elapsed = 0;
        QAnimationDriver::start();
    }

private:
    qint64 m_elapsed = 0;
};

// --- The check mark's geometry ---

TEST(OnboardingCheckmarkShapeTest, markRunsDownToItsTipThenUpToTheRight)
{
    const QPainterPath mark = OnboardingCheckmarkShape::path(QRectF(0, 0, 100, 200));
    ASSERT_EQ(mark.elementCount(), 3);
    EXPECT_EQ(QPointF(mark.elementAt(0)), QPointF(22, 100));
    EXPECT_EQ(QPointF(mark.elementAt(1)), QPointF(42, 130));
    EXPECT_EQ(QPointF(mark.elementAt(2)), QPointF(75, 60));
}

TEST(OnboardingCheckmarkShapeTest, trimGrowsAlongTheStrokeAndIsClamped)
{
    QPainterPath corner;
    corner.moveTo(0, 0);
    corner.lineTo(30, 0);
    corner.lineTo(30, 10);

    EXPECT_EQ(OnboardingCheckmarkShape::trimmed(corner, 0).length(), 0);
    const QPainterPath half = OnboardingCheckmarkShape::trimmed(corner, 0.5);
    EXPECT_DOUBLE_EQ(half.length(), 20);
    EXPECT_EQ(half.currentPosition(), QPointF(20, 0));
    const QPainterPath pastCorner = OnboardingCheckmarkShape::trimmed(corner, 0.875);
    EXPECT_EQ(pastCorner.currentPosition(), QPointF(30, 5));
    EXPECT_EQ(OnboardingCheckmarkShape::trimmed(corner, 1.5).currentPosition(), QPointF(30, 10));
}

// --- The onboarding window ---

class OnboardingViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_preferences.registerDefaults();
        OnboardingView::configureWindow(m_view);
    }

    void showFinished()
    {
        m_view.show();
        m_view.finishAnimations();
    }

    QAbstractButton* button(const QString& name) { return m_view.findChild<QAbstractButton*>(name); }
    QWidget* screen(const QString& name) { return m_view.findChild<QWidget*>(name); }
    qreal state(const QString& screenName, const char* property)
    {
        return screen(screenName)->property(property).toReal();
    }
    bool storedFlag() const
    {
        // A fresh reader of the same file sees what the next launch would see.
        return Preferences(m_preferences.filePath()).value(PreferenceKeys::onboardingShown);
    }

    QImage render(const QString& name)
    {
        const QImage image = m_view.grab().toImage();
        QDir().mkpath(QStringLiteral(LUMATICK_SCREENSHOT_DIR));
        EXPECT_TRUE(image.save(QStringLiteral(LUMATICK_SCREENSHOT_DIR "/") + name + u".png"_s));
        return image;
    }

    // The colour in the middle of a button's capsule, away from its label.
    static QColor capsuleColour(const QImage& image, const QAbstractButton* button)
    {
        const QRect area =
            button->geometry().translated(button->parentWidget()->mapTo(button->window(), QPoint()));
        return image.pixelColor(area.left() + 24, area.center().y() - 8);
    }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    int m_completions = 0;
    OnboardingView m_view{m_preferences, [this] { ++m_completions; }};
};

TEST_F(OnboardingViewTest, welcomeScreenEndsFullyShownOnTheDarkRoundedBackground)
{
    showFinished();
    const QImage image = render(u"onboarding-welcome"_s);

    EXPECT_EQ(image.size(), QSize(520, 420));
    EXPECT_EQ(m_view.currentScreen(), 0);
    EXPECT_EQ(m_view.property("appeared").toReal(), 1);
    for (const char* flag : {"iconLanded", "titleVisible", "bullet1Visible", "bullet2Visible",
                             "bullet3Visible", "buttonVisible"}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(state(u"welcomeScreen"_s, flag), 1);
    }
    EXPECT_EQ(image.pixelColor(8, 210), OnboardingStyle::background());
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "corners are rounded off";
    const auto* getStarted = button(u"getStartedButton"_s);
    EXPECT_EQ(capsuleColour(image, getStarted), OnboardingStyle::accent());
    EXPECT_NEAR(getStarted->geometry().center().x(), 260, 1);
    EXPECT_FALSE(storedFlag());
}

TEST_F(OnboardingViewTest, getStartedStoresTheFlagAtOnceAndShowsTheConfirmation)
{
    showFinished();
    EXPECT_FALSE(m_preferences.value(PreferenceKeys::onboardingShown));

    button(u"getStartedButton"_s)->click();
    EXPECT_TRUE(storedFlag());
    EXPECT_EQ(m_view.currentScreen(), 1);
    EXPECT_EQ(m_completions, 0);

    m_view.finishAnimations();
    const QImage image = render(u"onboarding-confirmation"_s);
    for (const char* flag : {"circleTrim", "checkmarkTrim", "headlineVisible", "subtextVisible",
                             "previewVisible", "button2Visible"}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(state(u"confirmationScreen"_s, flag), 1);
    }
    EXPECT_EQ(screen(u"confirmationScreen"_s)->geometry(), m_view.rect());
    EXPECT_TRUE(screen(u"welcomeScreen"_s)->isHidden());
    EXPECT_EQ(capsuleColour(image, button(u"startUsingButton"_s)), OnboardingStyle::accent());
}

TEST_F(OnboardingViewTest, startUsingCompletesExactlyOnce)
{
    showFinished();
    button(u"getStartedButton"_s)->click();
    m_view.finishAnimations();

    button(u"startUsingButton"_s)->click();
    EXPECT_EQ(m_completions, 1);
    button(u"startUsingButton"_s)->click();
    EXPECT_EQ(m_completions, 1);
}

TEST_F(OnboardingViewTest, secondGetStartedPressChangesNothing)
{
    showFinished();
    QSignalSpy writes(&m_preferences, &Preferences::changed);
    button(u"getStartedButton"_s)->click();
    button(u"getStartedButton"_s)->click();

    EXPECT_EQ(writes.count(), 1);
    EXPECT_EQ(m_view.currentScreen(), 1);
}

TEST_F(OnboardingViewTest, closingBeforeGetStartedLeavesTheOnboardingToShowAgain)
{
    showFinished();
    button(u"closeButton"_s)->click();

    EXPECT_FALSE(m_view.isVisible());
    EXPECT_FALSE(storedFlag());
    EXPECT_EQ(m_completions, 0);
}

TEST_F(OnboardingViewTest, aClosedOnboardingStopsAnimating)
{
    m_view.show();
    const auto animations = m_view.findChildren<QAbstractAnimation*>();
    const auto running = [&animations] {
        return std::count_if(animations.begin(), animations.end(), [](QAbstractAnimation* animation) {
            return animation->state() == QAbstractAnimation::Running;
        });
    };
    ASSERT_GT(running(), 0);
    m_view.close();
    EXPECT_EQ(running(), 0);
}

TEST_F(OnboardingViewTest, closingAfterGetStartedKeepsTheFlagWithoutCompleting)
{
    showFinished();
    button(u"getStartedButton"_s)->click();
    button(u"closeButton"_s)->click();

    EXPECT_FALSE(m_view.isVisible());
    EXPECT_TRUE(storedFlag());
    EXPECT_EQ(m_completions, 0);
}

TEST_F(OnboardingViewTest, windowIsAFixedSizeFloatingPanelWithoutTitleBar)
{
    EXPECT_EQ(m_view.minimumSize(), QSize(520, 420));
    EXPECT_EQ(m_view.maximumSize(), QSize(520, 420));
    EXPECT_TRUE(m_view.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(m_view.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(OnboardingViewTest, draggingTheBackgroundMovesTheWindow)
{
    showFinished();
    const QPoint before = m_view.pos();
    const QPoint background(20, 400);
    QTest::mousePress(&m_view, Qt::LeftButton, {}, background);
    QTest::mouseMove(&m_view, background + QPoint(30, -12));
    QTest::mouseRelease(&m_view, Qt::LeftButton, {}, background + QPoint(30, -12));

    EXPECT_EQ(m_view.pos(), before + QPoint(30, -12));
}

// --- The entrances, step by step on a driven animation clock ---

class OnboardingEntranceTest : public OnboardingViewTest {
protected:
    void SetUp() override
    {
        OnboardingViewTest::SetUp();
        m_driver.install();
    }
    void TearDown() override { m_driver.uninstall(); }

    // Moves the animation clock to `milliseconds` after the view was shown.
    void at(qint64 milliseconds)
    {
        SCOPED_TRACE(milliseconds);
        // Animations start on the next turn of the event loop, and the clock with them.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        ASSERT_TRUE(m_driver.isRunning());
        m_driver.advanceBy(milliseconds - m_now);
        m_now = milliseconds;
    }

    SteppedAnimationDriver m_driver;
    qint64 m_now = 0;
};

TEST_F(OnboardingEntranceTest, welcomeElementsArriveInTurnAndSettleInPlace)
{
    m_view.show();
    const auto welcome = [this](const char* flag) { return state(u"welcomeScreen"_s, flag); };

    at(150);
    EXPECT_GT(m_view.property("appeared").toReal(), 0);
    EXPECT_EQ(welcome("iconLanded"), 0);
    at(450);
    EXPECT_GT(welcome("iconLanded"), 0);
    EXPECT_EQ(welcome("titleVisible"), 0);
    at(800);
    EXPECT_GT(welcome("bullet1Visible"), 0);
    EXPECT_EQ(welcome("bullet2Visible"), 0);
    at(1100);
    EXPECT_GT(welcome("bullet3Visible"), 0);
    EXPECT_EQ(welcome("buttonVisible"), 0);
    EXPECT_EQ(welcome("glowPulse"), 0);

    at(2000);
    EXPECT_EQ(m_view.property("appeared").toReal(), 1);
    for (const char* flag : {"iconLanded", "titleVisible", "bullet1Visible", "bullet2Visible",
                             "bullet3Visible", "buttonVisible"}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(welcome(flag), 1);
    }
    EXPECT_GT(welcome("glowPulse"), 0) << "the glow breathes once the entrance is over";
    const auto* getStarted = qobject_cast<OnboardingButton*>(button(u"getStartedButton"_s));
    EXPECT_EQ(getStarted->effectiveOpacity(), 1);
}

TEST_F(OnboardingEntranceTest, checkMarkDrawsOnlyAfterTheCircleHasStarted)
{
    m_view.show();
    at(2000);
    button(u"getStartedButton"_s)->click();
    const qint64 press = 2000;
    const auto confirmation = [this](const char* flag) { return state(u"confirmationScreen"_s, flag); };

    at(press + 450);
    EXPECT_EQ(confirmation("circleTrim"), 0);
    EXPECT_EQ(confirmation("glowOpacity"), 0.3) << "the glow is faintly there from the start";
    at(press + 700);
    EXPECT_GT(confirmation("circleTrim"), 0);
    EXPECT_EQ(confirmation("checkmarkTrim"), 0);
    at(press + 1000);
    EXPECT_EQ(confirmation("circleTrim"), 1);
    EXPECT_GT(confirmation("checkmarkTrim"), 0);
    EXPECT_EQ(confirmation("headlineVisible"), 0);

    at(press + 2600);
    for (const char* flag :
         {"checkmarkTrim", "headlineVisible", "subtextVisible", "previewVisible", "button2Visible"}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(confirmation(flag), 1);
    }
    EXPECT_GT(confirmation("shimmerPhase"), 0);
    EXPECT_GE(confirmation("glowOpacity"), 0.3);
    EXPECT_LE(confirmation("glowOpacity"), 1);
    EXPECT_EQ(screen(u"confirmationScreen"_s)->geometry(), m_view.rect());
    EXPECT_TRUE(screen(u"welcomeScreen"_s)->isHidden());
    const auto* startUsing = qobject_cast<OnboardingButton*>(button(u"startUsingButton"_s));
    EXPECT_EQ(startUsing->effectiveOpacity(), 1);
}

} // namespace
