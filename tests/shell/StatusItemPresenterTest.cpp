#include "StatusItemPresenter.h"

#include "FakeClock.h"
#include "StatusIconRenderer.h"
#include "StatusItemBackend.h"
#include "TierColors.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Keeps the icons and tool tips the presenter sends, so tests can check both the values and how often.
class RecordingBackend : public StatusItemBackend {
public:
    void setLabel(const QString&, const QString&) override {}
    void setIcon(const QImage& icon) override { icons.append(icon); }
    void setToolTip(const QString& text) override { toolTips.append(text); }
    void setMenuPaused(bool) override {}
    bool start() override { return true; }
    bool isShown() const override { return true; }

    QList<QImage> icons;
    QStringList toolTips;
};

constexpr int pixels = StatusIconRenderer::iconPoints * StatusIconRenderer::pixelsPerPoint;
const QColor green = TierColors::defaultColor(ThresholdTier::green);
const QColor yellow = TierColors::defaultColor(ThresholdTier::yellow);
const QColor red = TierColors::defaultColor(ThresholdTier::red);

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
        m_presenter.update(StatusItemState{u"%1s"_s.arg(seconds), tier, paused, seconds, dot});
    }

    // The colour inside the dot, above and left of the pause bars' corner.
    QColor dot() const
    {
        return m_backend.icons.last()
            .convertToFormat(QImage::Format_ARGB32)
            .pixelColor(pixels / 2 - 5, pixels / 2 - 5);
    }

    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC)};
    RecordingBackend m_backend;
    StatusItemPresenter m_presenter{m_backend, &TierColors::defaultColor, m_clock.clock()};
};

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

    // Resumed and back to green: the glide starts from the full red, not the faded one.
    draw(60, ThresholdTier::green, false, true);
    m_clock.advance(0.25);
    m_presenter.animationStep();
    expectNear(dot(), TierColors::interpolateColor(red, green, 0.5));
    // The frame timer carries a glide to its end by itself.
    m_clock.advance(0.25);
    ASSERT_TRUE(waitUntil([&] { return !m_presenter.isAnimating(); }));
    expectNear(dot(), green);
}

// Screen readers and label-less hosts hear the total when the item appears, then at each new
// minute and at once on a pause, not every second; the icon's time rounds down like the counter.
TEST_F(StatusItemPresenterTest, theSpokenTotalFollowsTheMinuteAndThePauseAtOnce)
{
    EXPECT_EQ(StatusItemPresenter::accessibilityText(7322, true),
              u"Tracking paused. Screen time today: 2 hours 2 minutes 2 seconds"_s);
    for (qint64 second = 0; second < 60; ++second)
        draw(second);
    EXPECT_EQ(m_backend.toolTips, QStringList{u"Screen time today: 0 hours 0 minutes 0 seconds"_s});
    draw(60);
    draw(61, ThresholdTier::green, true);
    EXPECT_EQ(m_backend.toolTips.mid(1),
              (QStringList{u"Screen time today: 0 hours 1 minute 0 seconds"_s,
                           u"Tracking paused. Screen time today: 0 hours 1 minute 1 second"_s}));
    const std::pair<qint64, QStringList> lines[] = {
        {-5, {u"0m"_s}}, {3599, {u"59m"_s}}, {3600, {u"1h"_s, u"00m"_s}}, {47940, {u"13h"_s, u"19m"_s}}};
    for (const auto& [seconds, text] : lines)
        EXPECT_EQ(StatusIconRenderer::timeLines(seconds), text) << seconds;
}

// The pause sign is one the fonts can draw: U+23F8 where one has it, else two heavy bars.
TEST(StatusItemPauseSignTest, theLabelCarriesAPauseSignTheFontsCanDraw)
{
    const std::pair<QString, QString> cases[] = {{u"\u23F8\u275A\u2016"_s, u"\u23F8\uFE0E "_s},
                                                 {u"\u275A\u2016"_s, u"\u275A\u275A "_s},
                                                 {u"\u2016"_s, u"\u2016 "_s},
                                                 {QString(), u"|| "_s}};
    for (const auto& [drawable, sign] : cases)
        EXPECT_EQ(StatusItemPresenter::pausePrefix([&](char32_t c) { return drawable.contains(QChar(c)); }),
                  sign);
}

} // namespace
