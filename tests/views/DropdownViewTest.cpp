#include "DropdownView.h"
#include "MenuBarViewModel.h"
#include "MiniBarChartView.h"
#include "ShortcutModifiers.h"

#include "Find.h"
#include "StoreFixture.h"

#include <QImage>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 hour = 3600;
const QDate today(2026, 6, 10);
const QColor green = TierColors::defaultColor(ThresholdTier::green);
const QColor yellow = TierColors::defaultColor(ThresholdTier::yellow);
const QColor red = TierColors::defaultColor(ThresholdTier::red);

class DropdownViewTest : public TrackingFixture {
protected:
    DropdownViewTest()
        : TrackingFixture(QDateTime(today, QTime(18, 0)))
    {
        m_model.setModelContext(m_store.get());
    }

    // Oldest first; the last value is today's total, loaded as the tracking core would.
    void showWeek(const QList<qint64>& seconds)
    {
        for (qsizetype i = 0; i < seconds.size(); ++i) {
            if (seconds[i] > 0)
                save(today.addDays(i + 1 - seconds.size()), seconds[i]);
        }
        m_manager.loadTodayTotal();
        m_model.refresh();
        m_model.refreshStatistics();
        m_view = std::make_unique<DropdownView>(m_model, m_preferences);
        m_view->adjustSize();
        m_view->show();
    }

    QString text(const QString& name) { return find<QLabel>(*m_view, name)->text(); }
    bool hidden(const QString& name) { return find(*m_view, name)->isHidden(); }
    QColor todayColour()
    {
        return find<QLabel>(*m_view, u"todayTime"_s)->palette().color(QPalette::WindowText);
    }

    // The colour at the middle of each day's bar, just above the baseline, as drawn.
    QList<QRgb> barColours()
    {
        const QImage panel = m_view->grab().toImage();
        auto* chart = find<MiniBarChartView>(*m_view, u"miniChart"_s);
        const int baseline = chart->height() - MiniBarChartView::markerSize - MiniBarChartView::markerSpacing;
        QList<QRgb> colours;
        for (int day = 0; day < 7; ++day) {
            const QPoint inChart(static_cast<int>(chart->columnRect(day, 7).center().x()), baseline - 1);
            colours.append(panel.pixelColor(chart->mapTo(m_view.get(), inChart)).rgb());
        }
        return colours;
    }

    MenuBarViewModel m_model{m_manager, m_tracker, m_preferences, m_clock.clock()};
    std::unique_ptr<DropdownView> m_view;
};

} // namespace

TEST_F(DropdownViewTest, aPausedYellowDayWithStreakAndShortcutShowsEveryRowInItsColours)
{
    m_preferences.setValue(dailyGoalEnabled, true);
    m_preferences.setValue(shortcutKeyCode, 33);
    m_preferences.setValue(shortcutModifiers, ShortcutModifiers::command | ShortcutModifiers::shift);
    m_preferences.setValue(shortcutKeyChar, u"P"_s);
    m_manager.setPaused(true);
    showWeek({0, 3 * hour, hour, 5 * hour, 2 * hour, hour, 4 * hour});
    EXPECT_EQ(text(u"todayTime"_s), u"4h 00m 00s"_s);
    EXPECT_EQ(todayColour(), yellow);
    EXPECT_EQ(text(u"yesterdayValue"_s), u"1h 00m 00s"_s);
    EXPECT_EQ(text(u"averageValue"_s), u"2h 24m 00s"_s);
    EXPECT_EQ(text(u"streakText"_s), u"5 day streak"_s);
    EXPECT_EQ(text(u"shortcutHint"_s), u"\u21E7\u2318P"_s);
    EXPECT_EQ(text(u"pauseTitle"_s), u"Resume Tracking"_s);
    const QList<QRgb> bars = barColours();
    EXPECT_EQ(bars.mid(1),
              (QList<QRgb>{yellow.rgb(), green.rgb(), red.rgb(), green.rgb(), green.rgb(), yellow.rgb()}));
}

TEST_F(DropdownViewTest, aFreshDayHidesStreakAndShortcutAndANewTierBlendsIn)
{
    showWeek({0, 0, 0, 0, 0, 3 * hour + 42, 3 * hour - 1});
    EXPECT_TRUE(hidden(u"streakRow"_s));
    EXPECT_TRUE(hidden(u"shortcutHint"_s));
    EXPECT_EQ(todayColour(), green);
    save(today, 3 * hour);
    m_manager.loadTodayTotal();
    m_model.refresh();
    EXPECT_NE(todayColour(), yellow) << "a new tier blends in rather than jumping";
    QTRY_COMPARE(todayColour(), yellow);
    // Closed, the panel is left alone; it opens on the current figure in its tier's colour.
    m_view->hide();
    save(today, 7 * hour);
    m_manager.loadTodayTotal();
    m_model.refresh();
    m_view->show();
    EXPECT_EQ(text(u"todayTime"_s), u"7h 00m 00s"_s);
    EXPECT_EQ(todayColour(), red) << "a tier reached while closed shows at once";
}
