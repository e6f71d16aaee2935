#include "BarChartView.h"
#include "ChartHoursText.h"
#include "Preferences.h"
#include "TierColors.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 hour = 3600;

QList<BarChartEntry> entriesOf(const QList<qint64>& seconds)
{
    QList<BarChartEntry> entries;
    const QDate first(2026, 11, 1);
    for (qsizetype i = 0; i < seconds.size(); ++i) {
        const QDate day = first.addDays(i);
        entries.append({QString::number(i), day.toString(u"MMM d"_s), seconds.at(i), day.startOfDay()});
    }
    return entries;
}

class BarChartViewTest : public testing::Test {
protected:
    void SetUp() override { m_preferences.registerDefaults(); }

    // Shown and laid out at the width the history window gives it.
    void show(const QList<qint64>& seconds, qint64 greenMax = 3, qint64 yellowMax = 5)
    {
        m_chart.setThresholds(greenMax, yellowMax);
        m_chart.setEntries(entriesOf(seconds));
        m_chart.resize(600, BarChartView::chartHeight);
        m_chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_chart));
    }

    QColor tierColor(ThresholdTier tier) { return TierColors(m_preferences).tierColor(tier); }

    // The colour in the middle of bar `index` as drawn on screen.
    QColor drawnColor(int index)
    {
        const QImage image = m_chart.grab().toImage();
        return image.pixelColor(m_chart.barRect(index).center().toPoint());
    }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    BarChartView m_chart{u"Hours"_s, m_preferences};
};

} // namespace

TEST(BarChartLabels, shortSpansLabelEveryBarLongSpansAboutSevenEndingWithTheNewest)
{
    EXPECT_EQ(BarChartView::labelledIndices(7), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(BarChartView::labelledIndices(6), (QList<int>{0, 1, 2, 3, 4, 5}));
    for (qsizetype count : {12, 14, 30}) {
        SCOPED_TRACE(count);
        const QList<int> indices = BarChartView::labelledIndices(count);
        EXPECT_GE(indices.size(), 5);
        EXPECT_LE(indices.size(), BarChartView::desiredLabelCount);
        EXPECT_EQ(indices.last(), count - 1);
        for (qsizetype i = 1; i < indices.size(); ++i)
            EXPECT_GT(indices.at(i) - indices.at(i - 1), 1) << "neighbouring labels would collide";
    }
}

TEST(BarChartScale, valueMarksAreRoundStepsOfAtMostFive)
{
    EXPECT_DOUBLE_EQ(BarChartView::valueStep(1), 0.2);
    EXPECT_DOUBLE_EQ(BarChartView::valueStep(5.5), 2);
    EXPECT_DOUBLE_EQ(BarChartView::valueStep(9.72), 2);
    EXPECT_DOUBLE_EQ(BarChartView::valueStep(10), 2);
    EXPECT_DOUBLE_EQ(BarChartView::valueStep(10.5), 5);
    EXPECT_DOUBLE_EQ(BarChartView::valueStep(26), 10);
}

TEST_F(BarChartViewTest, aBarOfExactlyAThresholdTakesTheNextTier)
{
    show({3 * hour - 1, 3 * hour, 5 * hour - 1, 5 * hour});

    const QList<ThresholdTier> expected{ThresholdTier::green, ThresholdTier::yellow, ThresholdTier::yellow,
                                        ThresholdTier::red};
    for (int index = 0; index < expected.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(m_chart.barColor(m_chart.entries().at(index).seconds), tierColor(expected.at(index)));
        EXPECT_EQ(drawnColor(index).rgb(), tierColor(expected.at(index)).rgb());
    }
}

TEST_F(BarChartViewTest, withYellowBelowGreenTheGreenTestComesFirst)
{
    show({2 * hour, 4 * hour - 1, 4 * hour}, 4, 2);

    EXPECT_EQ(drawnColor(0).rgb(), tierColor(ThresholdTier::green).rgb());
    EXPECT_EQ(drawnColor(1).rgb(), tierColor(ThresholdTier::green).rgb());
    EXPECT_EQ(drawnColor(2).rgb(), tierColor(ThresholdTier::red).rgb());
}

TEST_F(BarChartViewTest, customTierColourIsDrawn)
{
    TierColors(m_preferences).setTierColor(ThresholdTier::red, QColor(20, 40, 200));
    show({6 * hour});

    EXPECT_EQ(drawnColor(0).rgb(), QColor(20, 40, 200).rgb());
}

TEST_F(BarChartViewTest, eachBarIsAnAccessibleChildWithLabelAndHoursText)
{
    show({0, 59, 3599, 3600, 5400});

    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(&m_chart);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->role(), QAccessible::Chart);
    ASSERT_EQ(chart->childCount(), 5);
    const QStringList values{u"0m"_s, u"0m"_s, u"59m"_s, u"1h"_s, u"1.5h"_s};
    for (int index = 0; index < 5; ++index) {
        SCOPED_TRACE(index);
        QAccessibleInterface* bar = chart->child(index);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->text(QAccessible::Name), m_chart.entries().at(index).label);
        EXPECT_EQ(bar->text(QAccessible::Value), values.at(index));
        EXPECT_EQ(chart->indexOfChild(bar), index);
        EXPECT_EQ(bar->parent(), chart);
    }

    // A reload with fewer bars leaves the surplus children invalid rather than stale.
    m_chart.setEntries(entriesOf({7200}));
    EXPECT_EQ(chart->childCount(), 1);
    EXPECT_EQ(chart->child(0)->text(QAccessible::Value), u"2h"_s);
}

TEST_F(BarChartViewTest, tallestBarLeavesRoomForItsAnnotation)
{
    for (const QList<qint64>& week : {QList<qint64>{hour, 14 * hour + 1800, 2 * hour},
                                      QList<qint64>{59, 59, 59}, QList<qint64>{11 * hour, 11 * hour}}) {
        show(week);
        QFont font = m_chart.font();
        font.setPointSize(chartAnnotationPointSize(week.size()));
        const qreal needed = BarChartView::annotationGap + QFontMetricsF(font).height();
        for (int index = 0; index < week.size(); ++index)
            EXPECT_GE(m_chart.barRect(index).top() - needed, 0) << index;
    }
}

TEST_F(BarChartViewTest, thirtyBarsShowAThinnedSetOfCategoryLabels)
{
    QList<qint64> month(30, 2 * hour);
    show(month);

    const QStringList shown = m_chart.visibleCategoryLabels();
    EXPECT_LE(shown.size(), BarChartView::desiredLabelCount);
    EXPECT_EQ(shown.last(), m_chart.entries().last().label);
}
