#include "HistoryView.h"
#include "BarChartView.h"
#include "HistoryViewModel.h"
#include "SegmentedControl.h"
#include "SharedTotalsFolder.h"
#include "TierColors.h"

#include "AnsweringChooser.h"
#include "FileContents.h"
#include "Find.h"
#include "StoreFixture.h"

#include <QAccessible>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 hour = 3600;
const QDate today(2026, 12, 5);

// Forty days of an hour each, the third day back over the goal, and two and a half hours today.
class HistoryViewTest : public StoreFixture {
protected:
    HistoryViewTest()
        : StoreFixture(QDateTime(today, QTime(14, 0)))
    {
        m_preferences.setValue(dailyGoalEnabled, true);
        for (int back = 40; back >= 1; --back)
            save(today.addDays(-back), back == 3 ? 7 * hour : hour);
        save(today, 2 * hour + 1800);
        m_view.resize(HistoryView::defaultWindowSize);
    }

    void pick(const QString& picker, const QString& title)
    {
        for (auto* button : find<SegmentedControl>(m_view, picker)->findChildren<QToolButton*>()) {
            if (button->text() == title)
                button->click();
        }
    }
    QString text(const QString& name) { return find<QLabel>(m_view, name)->text(); }
    QRgb drawnColour(BarChartView& chart, int bar)
    {
        return chart.grab().toImage().pixel(chart.barRect(bar).center().toPoint());
    }

    HistoryViewModel m_model{m_store.get(), m_preferences, m_clock.clock()};
    AnsweringChooser m_chooser;
    HistoryView m_view{m_model, m_preferences, m_chooser};
};

} // namespace

TEST_F(HistoryViewTest, opensOnSevenDaysAndSixMonthsAndFollowsPickersAndSettings)
{
    EXPECT_TRUE(m_model.dailyEntries().isEmpty()) << "nothing loads before the window opens";
    m_view.show();
    auto& daily = *find<BarChartView>(m_view, u"dailyChart"_s);
    auto& monthly = *find<BarChartView>(m_view, u"monthlyChart"_s);
    EXPECT_EQ(text(u"currentStreakValue"_s), u"2 days"_s);
    EXPECT_EQ(text(u"longestStreakValue"_s), u"37 days"_s);
    QAccessibleInterface* bars = QAccessible::queryAccessibleInterface(&daily);
    ASSERT_EQ(bars->childCount(), 7);

    const QString monthlyId = monthly.entries().first().id;
    EXPECT_EQ(daily.annotatedIndices().size(), 7);
    pick(u"dailyRangePicker"_s, u"30d"_s);
    EXPECT_EQ(bars->childCount(), 30);
    // Thirty hours texts do not fit side by side; those of the dated bars do, at full size.
    EXPECT_EQ(daily.annotatedIndices(), (QList<int>{4, 9, 14, 19, 24, 29}));
    EXPECT_EQ(monthly.entries().first().id, monthlyId) << "the other chart is not reloaded";
    pick(u"monthlyRangePicker"_s, u"12mo"_s);
    EXPECT_EQ(monthly.entries().size(), 12);

    EXPECT_EQ(drawnColour(daily, 29), TierColors::defaultColor(ThresholdTier::green).rgb());
    m_preferences.setValue(greenThresholdHours, 1);
    m_preferences.setValue(yellowThresholdHours, 2);
    EXPECT_EQ(drawnColour(daily, 29), TierColors::defaultColor(ThresholdTier::red).rgb());
    m_preferences.setValue(dailyGoalEnabled, false);
    EXPECT_FALSE(find(m_view, u"streakSection"_s)->isVisible());
}

// The marks read as whole or short hours, rebuilt whenever the tallest bar changes.
TEST_F(HistoryViewTest, hoursMarksReadAsRoundHoursUpToAboveTheTallestBar)
{
    BarChartView chart(u"Hours"_s, m_preferences);
    const struct {
        qint64 tallest;
        QStringList marks;
    } cases[] = {
        {7 * hour, {u"0"_s, u"2"_s, u"4"_s, u"6"_s, u"8"_s, u"10"_s}},
        {2 * hour, {u"0"_s, u"0.5"_s, u"1"_s, u"1.5"_s, u"2"_s, u"2.5"_s}},
        {0, {u"0"_s, u"0.2"_s, u"0.4"_s, u"0.6"_s, u"0.8"_s, u"1"_s}},
        {40 * hour, {u"0"_s, u"10"_s, u"20"_s, u"30"_s, u"40"_s, u"50"_s}},
    };
    for (const auto& [tallest, marks] : cases) {
        chart.setEntries(
            {BarChartEntry{u"a"_s, u"Mon"_s, hour / 2, {}}, BarChartEntry{u"b"_s, u"Tue"_s, tallest, {}}});
        EXPECT_EQ(chart.hoursMarks(), marks) << tallest;
    }
}

TEST_F(HistoryViewTest, exportFromAStoreThatCannotBeReadOpensNoDialogAndWritesNothing)
{
    m_view.show();
    const QString earlier = m_dir.filePath(u"chosen.csv"_s);
    ASSERT_TRUE(writeFile(earlier, "an earlier export"));
    m_chooser.answer = earlier;
    executeElsewhere(u"DROP TABLE DailyScreenTime"_s);
    auto* button = find<QPushButton>(m_view, u"exportButton"_s);
    EXPECT_EQ(button->text(), u"Export CSV\u2026"_s);
    button->click();

    EXPECT_TRUE(m_chooser.offered.isEmpty()) << "no save dialog";
    EXPECT_EQ(readFile(earlier), "an earlier export");
    EXPECT_EQ(m_view.findChild<QMessageBox*>(), nullptr) << "the export ends without a message";
}

TEST_F(HistoryViewTest, whileOtherComputersShareTheirTotalsTheBarsAndTheExportMayCoverThemAll)
{
    const QString sync = m_dir.filePath(u"Sync"_s);
    const QString desk = sync + u"/Lumatick/desk.csv"_s;
    ASSERT_TRUE(writeFile(desk, "lumatick-shared-totals,1,Desk\ndate,total_seconds,total_formatted,goal_met\n"
                                "2026-11-30,3600,1h 00m 00s,false\n2026-12-05,600,10m 00s,false\n"));
    SharedTotalsFolder shared(m_clock.clock(), [] { return QList<DailyScreenTime>(); });
    m_model.setSharedTotals(&shared);
    m_view.show();
    const auto* picker = find<SegmentedControl>(m_view, u"computerPicker"_s);
    const auto daily = [&] { return find<BarChartView>(m_view, u"dailyChart"_s)->entries(); };
    for (const QString& folder : {sync, QString()}) { // sharing on, then off again: the window follows
        folder.isEmpty() ? shared.stop() : shared.start(folder, u"mine"_s, u"Laptop"_s);
        EXPECT_EQ(picker->isVisible(), !folder.isEmpty());
        pick(u"computerPicker"_s, u"All computers"_s);
        EXPECT_EQ(daily().at(1).seconds, folder.isEmpty() ? hour : 2 * hour);
        EXPECT_EQ(daily().last().seconds, 2 * hour + 1800 + (folder.isEmpty() ? 0 : 600));
        ASSERT_TRUE(writeFile(desk, readFile(desk) + "2026-12-04,9,9s,false\n"));
        shared.rescan(); // the desk's file changed while the window is open
        EXPECT_EQ(daily().at(5).seconds, hour + (folder.isEmpty() ? 0 : 9));
        m_chooser.answer = m_dir.filePath(u"all.csv"_s);
        find<QPushButton>(m_view, u"exportButton"_s)->click();
        EXPECT_EQ(readFile(m_dir.filePath(u"all.csv"_s)).contains(",Desk\n"), !folder.isEmpty());
    }
}
