#include "StatusItemPresenter.h"

#include "FakeClock.h"
#include "StatusIconRenderer.h"
#include "StatusItemBackend.h"
#include "TierColors.h"

#include <QDeadlineTimer>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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

// U+23F8 U+FE0E and a space, spelled out so the test does not share the code's constant.
const QString pauseSign = QString::fromUtf8("\xE2\x8F\xB8\xEF\xB8\x8E ");
constexpr int pixels = StatusIconRenderer::iconPoints * StatusIconRenderer::pixelsPerPoint;
const QColor green = TierColors::defaultColor(ThresholdTier::green);
const QColor yellow = TierColors::defaultColor(ThresholdTier::yellow);
const QColor red = TierColors::defaultColor(ThresholdTier::red);

// The dot's centre, or below the centre of the clock disc, where no hand is knocked out.
QColor iconColor(const QImage& icon, bool dot)
{
    const int y = pixels / 2 + (dot ? 0 : 6 * StatusIconRenderer::pixelsPerPoint);
    return icon.convertToFormat(QImage::Format_ARGB32).pixelColor(pixels / 2, y);
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

class StatusItemPresenterTest : public testing::Test {
protected:
    void draw(qint64 seconds, ThresholdTier tier = ThresholdTier::green, bool paused = false,
              bool dot = false)
    {
        const QString text = u"%1h %2m %3s"_s.arg(seconds / 3600)
                                 .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'))
                                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
        m_presenter.update(StatusItemState{text, tier, paused, seconds, dot});
    }

    QString label() const { return m_backend.labels.last().first; }
    QColor dot() const { return iconColor(m_backend.icons.last(), true); }

    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC)};
    RecordingBackend m_backend;
    StatusItemPresenter m_presenter{m_backend, &TierColors::defaultColor, m_clock.clock()};
};

TEST_F(StatusItemPresenterTest, labelIconAndMenuFollowThePauseAndTheIconOnlySetting)
{
    const struct {
        bool paused;
        bool dot;
        QString label;
        QString guide;
        QColor color;
    } cases[] = {
        {false, false, u"1h 05m 09s"_s, u"0h 00m 00s"_s, green},
        {true, false, pauseSign + u"1h 05m 09s"_s, pauseSign + u"0h 00m 00s"_s, faded(green)},
        {false, true, {}, {}, green},
        {true, true, {}, {}, faded(green)},
        {false, false, u"1h 05m 09s"_s, u"0h 00m 00s"_s, green},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.label.toStdString() + (expected.dot ? " dot" : "") +
                     (expected.paused ? " paused" : ""));
        draw(3909, ThresholdTier::green, expected.paused, expected.dot);
        EXPECT_EQ(m_backend.labels.last(), std::make_pair(expected.label, expected.guide));
        expectNear(iconColor(m_backend.icons.last(), expected.dot), expected.color);
        EXPECT_EQ(m_backend.menuPaused.last(), expected.paused);
    }
}

TEST_F(StatusItemPresenterTest, theDotIsTenPointsAcrossAndTheCompactTimeReplacesTheClock)
{
    draw(60, ThresholdTier::green, false, true);
    const QImage icon = m_backend.icons.last().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.width(), pixels);
    int opaque = 0;
    for (int x = 0; x < icon.width(); ++x)
        opaque += icon.pixelColor(x, pixels / 2).alpha() > 127 ? 1 : 0;
    EXPECT_NEAR(opaque, StatusIconRenderer::dotPoints * StatusIconRenderer::pixelsPerPoint, 1);
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);

    m_presenter.setCompactTimeInIcon(true);
    draw(4 * 3600 + 37 * 60);
    EXPECT_EQ(m_backend.icons.last(), StatusIconRenderer::renderCompactTime(green, u"4h"_s));
    const std::pair<qint64, QString> compact[] = {
        {0, u"0m"_s}, {59, u"0m"_s}, {3599, u"59m"_s}, {3600, u"1h"_s}};
    for (const auto& [seconds, text] : compact)
        EXPECT_EQ(StatusIconRenderer::compactTime(seconds), text) << seconds;
}

TEST_F(StatusItemPresenterTest, aNewTierGlidesFromTheLastTierColourInHalfASecond)
{
    // At launch the last tier drawn is green.
    draw(4 * 3600, ThresholdTier::yellow, false, true);
    EXPECT_TRUE(m_presenter.isAnimating());
    expectNear(dot(), green);
    m_clock.advance(0.25);
    // A change mid-glide starts again from the full colour of the tier drawn last.
    draw(6 * 3600, ThresholdTier::red, false, true);
    expectNear(dot(), yellow);
    m_clock.advance(0.25);
    m_presenter.animationStep();
    expectNear(dot(), TierColors::interpolateColor(yellow, red, 0.5));
    draw(6 * 3600, ThresholdTier::red, true, true);
    expectNear(dot(), faded(TierColors::interpolateColor(yellow, red, 0.5)));
    m_clock.advance(0.25);
    m_presenter.animationStep();
    EXPECT_FALSE(m_presenter.isAnimating());
    expectNear(dot(), faded(red));

    draw(60, ThresholdTier::green, false, true);
    m_clock.advance(0.25);
    m_presenter.animationStep();
    expectNear(dot(), QColor(154, 129, 69));
}

TEST_F(StatusItemPresenterTest, theFrameTimerRedrawsUntilTheGlideEnds)
{
    draw(60, ThresholdTier::red, false, true);
    const qsizetype before = m_backend.icons.size();
    // Frames are sent only when the colour moved, so the clock moves a little between polls.
    QDeadlineTimer deadline(3000);
    while (m_backend.icons.size() < before + 3 && !deadline.hasExpired()) {
        QTest::qWait(10);
        m_clock.advance(0.02);
    }
    ASSERT_GE(m_backend.icons.size(), before + 3);
    m_clock.advance(0.5);
    while (m_presenter.isAnimating() && !deadline.hasExpired())
        QTest::qWait(10);
    EXPECT_FALSE(m_presenter.isAnimating());
    expectNear(dot(), red);
}

TEST_F(StatusItemPresenterTest, theSpokenTotalIsSetFirstThenOnEverySixtiethRedraw)
{
    const std::pair<qint64, QString> spoken[] = {
        {3661, u"Screen time today: 1 hour 1 minute 1 second"_s},
        {0, u"Screen time today: 0 hours 0 minutes 0 seconds"_s},
    };
    for (const auto& [seconds, text] : spoken)
        EXPECT_EQ(StatusItemPresenter::accessibilityText(seconds, false), text);
    EXPECT_EQ(StatusItemPresenter::accessibilityText(7322, true),
              u"Tracking paused. Screen time today: 2 hours 2 minutes 2 seconds"_s);

    for (qint64 second = 0; second < 60; ++second)
        draw(second);
    EXPECT_EQ(m_backend.toolTips, QStringList{u"Screen time today: 0 hours 0 minutes 0 seconds"_s});
    draw(60);
    EXPECT_EQ(m_backend.toolTips.last(), u"Screen time today: 0 hours 1 minute 0 seconds"_s);
}

} // namespace
