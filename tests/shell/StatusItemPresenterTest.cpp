#include "StatusItemPresenter.h"

#include "FakeClock.h"
#include "StatusIconRenderer.h"
#include "StatusItemBackend.h"
#include "TierColors.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

// Keeps every call the presenter makes, so tests can check both the values and how often.
class RecordingBackend : public StatusItemBackend {
public:
    void setLabel(const QString& text, const QString& guide) override { labels.append({text, guide}); }
    void setIcon(const QImage& icon) override { icons.append(icon); }
    void setToolTip(const QString& text) override { toolTips.append(text); }
    void setMenuPaused(bool paused) override { menuPaused.append(paused); }
    bool start() override { return true; }
    bool isShown() const override { return true; }

    QList<std::pair<QString, QString>> labels;
    QList<QImage> icons;
    QStringList toolTips;
    QList<bool> menuPaused;
};

// U+23F8 and U+FE0E as UTF-8, spelled out so the test does not share the code's constant.
const QString pauseSign = QString::fromUtf8("\xE2\x8F\xB8\xEF\xB8\x8E ");

constexpr int pixels = StatusIconRenderer::iconPoints * StatusIconRenderer::pixelsPerPoint;

QColor pixelAt(const QImage& icon, int x, int y)
{
    return icon.convertToFormat(QImage::Format_ARGB32).pixelColor(x, y);
}

// The dot's centre.
QColor dotColor(const QImage& icon)
{
    return pixelAt(icon, pixels / 2, pixels / 2);
}

// Below the centre of the clock disc, where no hand is knocked out.
QColor clockColor(const QImage& icon)
{
    return pixelAt(icon, pixels / 2, pixels / 2 + 6 * StatusIconRenderer::pixelsPerPoint);
}

void expectNear(const QColor& actual, const QColor& expected)
{
    EXPECT_NEAR(actual.red(), expected.red(), 2) << "red";
    EXPECT_NEAR(actual.green(), expected.green(), 2) << "green";
    EXPECT_NEAR(actual.blue(), expected.blue(), 2) << "blue";
    EXPECT_NEAR(actual.alpha(), expected.alpha(), 1) << "alpha";
}

QColor faded(QColor color)
{
    color.setAlphaF(0.4);
    return color;
}

const QColor green = TierColors::defaultColor(ThresholdTier::green);
const QColor yellow = TierColors::defaultColor(ThresholdTier::yellow);
const QColor red = TierColors::defaultColor(ThresholdTier::red);

class StatusItemPresenterTest : public testing::Test {
protected:
    static StatusItemState state(qint64 seconds, ThresholdTier tier = ThresholdTier::green,
                                 bool paused = false, bool iconOnly = false)
    {
        const qint64 h = seconds / 3600;
        const qint64 m = seconds % 3600 / 60;
        const qint64 s = seconds % 60;
        const QString text = QStringLiteral("%1h %2m %3s")
                                 .arg(h)
                                 .arg(m, 2, 10, QLatin1Char('0'))
                                 .arg(s, 2, 10, QLatin1Char('0'));
        return StatusItemState{text, tier, paused, seconds, iconOnly};
    }

    QString lastLabel() const
    {
        return m_backend.labels.isEmpty() ? QString() : m_backend.labels.last().first;
    }
    QImage lastIcon() const { return m_backend.icons.isEmpty() ? QImage() : m_backend.icons.last(); }

    static bool waitFor(const std::function<bool()>& condition)
    {
        QDeadlineTimer deadline(2000);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC)};
    RecordingBackend m_backend;
    StatusItemPresenter m_presenter{m_backend, &TierColors::defaultColor, m_clock.clock()};
};

// --- Label ---------------------------------------------------------------------------------

TEST_F(StatusItemPresenterTest, firstUpdateAtLaunchSetsTheLabel)
{
    m_presenter.update(state(3909));
    ASSERT_EQ(m_backend.labels.size(), 1);
    EXPECT_EQ(m_backend.labels.first().first, QStringLiteral("1h 05m 09s"));
    EXPECT_EQ(m_backend.labels.first().second, QStringLiteral("0h 00m 00s"));
}

TEST_F(StatusItemPresenterTest, pausedLabelCarriesThePauseSign)
{
    m_presenter.update(state(3909, ThresholdTier::green, true));
    EXPECT_EQ(lastLabel(), pauseSign + QStringLiteral("1h 05m 09s"));
    EXPECT_EQ(m_backend.labels.last().second, pauseSign + QStringLiteral("0h 00m 00s"));
}

TEST_F(StatusItemPresenterTest, resumingDropsThePauseSignAtTheNextRedraw)
{
    m_presenter.update(state(3909, ThresholdTier::green, true));
    m_presenter.update(state(3910));
    EXPECT_EQ(lastLabel(), QStringLiteral("1h 05m 10s"));
    expectNear(clockColor(lastIcon()), green);
}

TEST_F(StatusItemPresenterTest, iconOnlyModeShowsNoLabel)
{
    m_presenter.update(state(3909, ThresholdTier::green, false, true));
    ASSERT_FALSE(m_backend.labels.isEmpty());
    EXPECT_TRUE(lastLabel().isEmpty());
    EXPECT_TRUE(m_backend.labels.last().second.isEmpty());
}

TEST_F(StatusItemPresenterTest, menuFollowsThePauseState)
{
    m_presenter.update(state(10, ThresholdTier::green, true));
    EXPECT_EQ(m_backend.menuPaused.last(), true);
    m_presenter.update(state(10));
    EXPECT_EQ(m_backend.menuPaused.last(), false);
}

// --- Icon ----------------------------------------------------------------------------------

TEST_F(StatusItemPresenterTest, iconOnlyDotIsTenPointsAcross)
{
    m_presenter.update(state(60, ThresholdTier::green, false, true));
    const QImage icon = lastIcon().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.width(), pixels);
    int opaque = 0;
    for (int x = 0; x < icon.width(); ++x)
        opaque += icon.pixelColor(x, pixels / 2).alpha() > 127 ? 1 : 0;
    EXPECT_NEAR(opaque, StatusIconRenderer::dotPoints * StatusIconRenderer::pixelsPerPoint, 1);
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    expectNear(dotColor(icon), green);
}

TEST_F(StatusItemPresenterTest, iconIsDrawnInTheTierColour)
{
    m_presenter.update(state(60, ThresholdTier::green));
    expectNear(clockColor(lastIcon()), green);
}

TEST_F(StatusItemPresenterTest, pausedIconIsFadedToFortyPercent)
{
    m_presenter.update(state(60, ThresholdTier::green, true));
    expectNear(clockColor(lastIcon()), faded(green));
}

TEST_F(StatusItemPresenterTest, pausedDotIsFadedToo)
{
    m_presenter.update(state(60, ThresholdTier::green, true, true));
    expectNear(dotColor(lastIcon()), faded(green));
}

TEST_F(StatusItemPresenterTest, compactTimeReplacesTheClockWhenAsked)
{
    m_presenter.update(state(4 * 3600 + 37 * 60));
    const QImage clock = lastIcon();
    m_presenter.setCompactTimeInIcon(true);
    m_presenter.update(state(4 * 3600 + 37 * 60));
    EXPECT_NE(lastIcon(), clock);
    EXPECT_EQ(lastIcon(), StatusIconRenderer::renderCompactTime(green, QStringLiteral("4h")));
}

TEST(StatusIconRendererTest, compactTimeTruncatesToTheLargestUnit)
{
    EXPECT_EQ(StatusIconRenderer::compactTime(0), QStringLiteral("0m"));
    EXPECT_EQ(StatusIconRenderer::compactTime(59), QStringLiteral("0m"));
    EXPECT_EQ(StatusIconRenderer::compactTime(3599), QStringLiteral("59m"));
    EXPECT_EQ(StatusIconRenderer::compactTime(3600), QStringLiteral("1h"));
    EXPECT_EQ(StatusIconRenderer::compactTime(4 * 3600 + 37 * 60), QStringLiteral("4h"));
}

// --- Colour glide --------------------------------------------------------------------------

TEST_F(StatusItemPresenterTest, sameTierDrawsWithoutAGlide)
{
    m_presenter.update(state(60));
    EXPECT_FALSE(m_presenter.isAnimating());
}

TEST_F(StatusItemPresenterTest, redrawAQuarterSecondIntoGreenToRedIsHalfway)
{
    m_presenter.update(state(60, ThresholdTier::green, false, true));
    m_presenter.update(state(61, ThresholdTier::red, false, true));
    ASSERT_TRUE(m_presenter.isAnimating());
    expectNear(dotColor(lastIcon()), green);

    m_clock.advance(0.25);
    m_presenter.update(state(61, ThresholdTier::red, false, true));
    expectNear(dotColor(lastIcon()), TierColors::interpolateColor(green, red, 0.5));
    expectNear(dotColor(lastIcon()), QColor(154, 129, 69));
}

TEST_F(StatusItemPresenterTest, glideEndsOnTheNewTierAfterHalfASecond)
{
    m_presenter.update(state(61, ThresholdTier::red, false, true));
    m_clock.advance(0.5);
    m_presenter.animationStep();
    EXPECT_FALSE(m_presenter.isAnimating());
    expectNear(dotColor(lastIcon()), red);
}

TEST_F(StatusItemPresenterTest, launchInTheYellowTierGlidesFromGreen)
{
    m_presenter.update(state(4 * 3600, ThresholdTier::yellow, false, true));
    EXPECT_TRUE(m_presenter.isAnimating());
    expectNear(dotColor(lastIcon()), green);
}

TEST_F(StatusItemPresenterTest, tierChangeMidGlideRestartsFromTheLastTierColour)
{
    m_presenter.update(state(60, ThresholdTier::yellow, false, true));
    m_clock.advance(0.25);
    m_presenter.update(state(61, ThresholdTier::red, false, true));
    expectNear(dotColor(lastIcon()), yellow);
    m_clock.advance(0.25);
    m_presenter.animationStep();
    expectNear(dotColor(lastIcon()), TierColors::interpolateColor(yellow, red, 0.5));
}

TEST_F(StatusItemPresenterTest, pausedGlideKeepsTheFade)
{
    m_presenter.update(state(60, ThresholdTier::red, true, true));
    m_clock.advance(0.25);
    m_presenter.animationStep();
    expectNear(dotColor(lastIcon()), faded(TierColors::interpolateColor(green, red, 0.5)));
}

TEST_F(StatusItemPresenterTest, frameTimerRedrawsUntilTheGlideEnds)
{
    m_presenter.update(state(60, ThresholdTier::red, false, true));
    const qsizetype before = m_backend.icons.size();
    // Frames are sent only when the colour moved, so the clock moves a little between polls.
    QDeadlineTimer deadline(3000);
    while (m_backend.icons.size() < before + 3 && m_presenter.isAnimating() && !deadline.hasExpired()) {
        QTest::qWait(10);
        m_clock.advance(0.02);
    }
    ASSERT_GE(m_backend.icons.size(), before + 3);
    m_clock.advance(0.5);
    ASSERT_TRUE(waitFor([&] { return !m_presenter.isAnimating(); }));
    expectNear(dotColor(lastIcon()), red);
    const qsizetype afterGlide = m_backend.icons.size();
    QDeadlineTimer quiet(150);
    while (!quiet.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(m_backend.icons.size(), afterGlide);
}

// --- Accessibility text --------------------------------------------------------------------

TEST_F(StatusItemPresenterTest, spokenTotalUsesSingularsForOne)
{
    m_presenter.update(state(3661));
    ASSERT_EQ(m_backend.toolTips.size(), 1);
    EXPECT_EQ(m_backend.toolTips.first(), QStringLiteral("Screen time today: 1 hour 1 minute 1 second"));
}

TEST_F(StatusItemPresenterTest, spokenTotalForZeroUsesPlurals)
{
    m_presenter.update(state(0));
    ASSERT_EQ(m_backend.toolTips.size(), 1);
    EXPECT_EQ(m_backend.toolTips.first(), QStringLiteral("Screen time today: 0 hours 0 minutes 0 seconds"));
}

TEST_F(StatusItemPresenterTest, spokenTotalWhilePausedSaysSo)
{
    m_presenter.update(state(2 * 3600 + 2 * 60 + 2, ThresholdTier::green, true));
    ASSERT_EQ(m_backend.toolTips.size(), 1);
    EXPECT_EQ(m_backend.toolTips.first(),
              QStringLiteral("Tracking paused. Screen time today: 2 hours 2 minutes 2 seconds"));
}

TEST_F(StatusItemPresenterTest, spokenTotalIsRefreshedOnEverySixtiethUpdateOnly)
{
    for (qint64 second = 0; second < 60; ++second)
        m_presenter.update(state(second));
    ASSERT_EQ(m_backend.toolTips.size(), 1);
    EXPECT_EQ(m_backend.labels.size(), 60);

    m_presenter.update(state(60));
    ASSERT_EQ(m_backend.toolTips.size(), 2);
    EXPECT_EQ(m_backend.toolTips.last(), QStringLiteral("Screen time today: 0 hours 1 minute 0 seconds"));
}

// --- Rendered icons, saved for a look ------------------------------------------------------

TEST(StatusIconRendererTest, savesTheIconsForInspection)
{
    const QString directory = QStringLiteral(LUMATICK_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(directory));
    const QColor yellowTier = TierColors::defaultColor(ThresholdTier::yellow);
    const std::pair<const char*, QImage> icons[] = {
        {"status-icon-normal.png", StatusIconRenderer::renderClock(yellowTier)},
        {"status-icon-paused.png", StatusIconRenderer::renderClock(faded(yellowTier))},
        {"status-icon-icon-only.png", StatusIconRenderer::renderDot(yellowTier)},
        {"status-icon-compact-time.png",
         StatusIconRenderer::renderCompactTime(yellowTier, StatusIconRenderer::compactTime(4 * 3600 + 60))},
        {"status-icon-compact-minutes.png",
         StatusIconRenderer::renderCompactTime(yellowTier, StatusIconRenderer::compactTime(37 * 60))},
    };
    for (const auto& [name, icon] : icons)
        EXPECT_TRUE(icon.save(directory + QLatin1Char('/') + QLatin1String(name))) << name;
}

} // namespace

namespace {
TEST_F(StatusItemPresenterTest, anUnchangedIconIsNotSentAgain)
{
    m_presenter.update(state(100));
    m_presenter.update(state(101));
    m_presenter.update(state(102));
    EXPECT_EQ(m_backend.icons.size(), 1);
    EXPECT_EQ(m_backend.labels.size(), 3);

    // Pausing fades it: a new icon.
    m_presenter.update(state(102, ThresholdTier::green, true));
    EXPECT_EQ(m_backend.icons.size(), 2);

    // With the time in the icon, a new icon comes with each new minute, not each second.
    m_presenter.setCompactTimeInIcon(true);
    m_presenter.update(state(600));
    const qsizetype atTenMinutes = m_backend.icons.size();
    m_presenter.update(state(630));
    EXPECT_EQ(m_backend.icons.size(), atTenMinutes);
    m_presenter.update(state(660));
    EXPECT_EQ(m_backend.icons.size(), atTenMinutes + 1);
}
} // namespace
