#include "DropdownView.h"
#include "ActivityTracker.h"
#include "FormatDuration.h"
#include "MenuBarViewModel.h"
#include "MiniBarChartView.h"
#include "Preferences.h"
#include "ScreenTimeManager.h"
#include "ShortcutText.h"
#include "StoreOpener.h"
#include "StreakText.h"
#include "TierColors.h"

#include "FakeClock.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 hour = 3600;
constexpr qint64 shiftMask = 0x20000;
constexpr qint64 controlMask = 0x40000;
constexpr qint64 optionMask = 0x80000;
constexpr qint64 commandMask = 0x100000;

const QDate today(2026, 6, 10);

// --- Pure decisions ---

TEST(ShortcutTextTest, commandShiftPReadsShiftThenCommandThenKey)
{
    EXPECT_EQ(shortcutDisplayText(commandMask | shiftMask, u"P"_s), u"\u21E7\u2318P"_s);
}

TEST(ShortcutTextTest, allModifiersFollowControlOptionShiftCommand)
{
    const qint64 all = commandMask | shiftMask | optionMask | controlMask;
    EXPECT_EQ(shortcutDisplayText(all, u"K"_s), u"\u2303\u2325\u21E7\u2318K"_s);
}

TEST(ShortcutTextTest, emptyKeyGivesEmptyTextWhateverTheModifiers)
{
    EXPECT_EQ(shortcutDisplayText(commandMask, QString()), QString());
}

TEST(ShortcutTextTest, keyCodeZeroIsRecordedButNegativeCodeOrEmptyKeyIsNot)
{
    EXPECT_TRUE(isShortcutRecorded(0, u"A"_s));
    EXPECT_FALSE(isShortcutRecorded(-1, u"A"_s));
    EXPECT_FALSE(isShortcutRecorded(5, QString()));
}

TEST(StreakTextTest, streakOfOneIsSingularDigitWithSameWording)
{
    EXPECT_EQ(streakLineText(true, 1), u"1 day streak"_s);
    EXPECT_EQ(streakLineText(true, 12), u"12 day streak"_s);
}

TEST(StreakTextTest, zeroStreakOrGoalOffHidesLine)
{
    EXPECT_EQ(streakLineText(true, 0), QString());
    EXPECT_EQ(streakLineText(false, 4), QString());
}

TEST(MiniBarChartTest, barHeightsScaleToTallestWithFloorsForEmptyAndTinyDays)
{
    EXPECT_EQ(MiniBarChartView::scaleFor({}), 1);
    EXPECT_EQ(MiniBarChartView::scaleFor({{0}, {0}}), 1);
    EXPECT_EQ(MiniBarChartView::barHeight(0, 1), 1);
    EXPECT_EQ(MiniBarChartView::barHeight(10 * hour, 10 * hour), 40);
    EXPECT_EQ(MiniBarChartView::barHeight(5 * hour, 10 * hour), 20);
    EXPECT_EQ(MiniBarChartView::barHeight(60, 10 * hour), 2);
}

// --- The panel over a real view model ---

class DropdownViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_preferences.registerDefaults();
        m_store = StoreOpener(m_dir.path(), m_preferences).open(m_clock.now()).store;
        ASSERT_TRUE(m_store);
        m_manager.setModelContext(m_store.get());
        m_model.setModelContext(m_store.get());
    }

    // Oldest first; the last value is today's live total.
    void recordWeek(const QList<qint64>& seconds)
    {
        for (qsizetype i = 0; i + 1 < seconds.size(); ++i) {
            if (seconds[i] > 0)
                m_store->saveDayTotal(today.addDays(i + 1 - seconds.size()).startOfDay(), seconds[i]);
        }
        m_store->saveDayTotal(today.startOfDay(), seconds.last());
        m_manager.loadTodayTotal();
    }

    void refreshModel()
    {
        m_model.refresh();
        m_model.refreshStatistics();
    }

    void recordShortcut(qint64 keyCode, qint64 modifiers, const QString& keyChar)
    {
        m_preferences.setValue(shortcutKeyCode, keyCode);
        m_preferences.setValue(shortcutModifiers, modifiers);
        m_preferences.setValue(shortcutKeyChar, keyChar);
    }

    template <typename T = QLabel>
    T* child(DropdownView& view, const QString& name)
    {
        auto* widget = view.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    QString text(DropdownView& view, const QString& name) { return child(view, name)->text(); }

    // The colour at the middle of a bar, just above the shared baseline.
    QColor barPixel(DropdownView& view, const QImage& panel, int index, int count)
    {
        auto* chart = child<MiniBarChartView>(view, u"miniChart"_s);
        const QRectF column = chart->columnRect(index, count);
        const int baseline = chart->height() - MiniBarChartView::markerSize - MiniBarChartView::markerSpacing;
        const QPoint inChart(static_cast<int>(column.center().x()), baseline - 1);
        return panel.pixelColor(chart->mapTo(&view, inChart));
    }

    QImage render(DropdownView& view, const QString& name)
    {
        view.adjustSize();
        const QImage image = view.grab().toImage();
        QDir().mkpath(QStringLiteral(LUMATICK_SCREENSHOT_DIR));
        EXPECT_TRUE(image.save(QStringLiteral(LUMATICK_SCREENSHOT_DIR "/") + name + u".png"_s));
        return image;
    }

    QTemporaryDir m_dir;
    FakeClock m_clock{QDateTime(today, QTime(18, 0))};
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    std::unique_ptr<RecordStore> m_store;
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
    MenuBarViewModel m_model{m_manager, m_tracker, m_preferences, m_clock.clock()};
};

TEST_F(DropdownViewTest, freshDayShowsZerosFaintBarsAndNoStreakOrHint)
{
    refreshModel();
    DropdownView view(m_model, m_preferences);
    const QImage image = render(view, u"dropdown-fresh-day"_s);

    EXPECT_EQ(view.width(), DropdownView::panelWidth);
    EXPECT_EQ(text(view, u"todayTime"_s), formatDuration(0, true));
    EXPECT_EQ(text(view, u"yesterdayValue"_s), formatDuration(0, true));
    EXPECT_EQ(text(view, u"averageValue"_s), formatDuration(0, true));
    EXPECT_TRUE(child<QWidget>(view, u"streakRow"_s)->isHidden());
    EXPECT_TRUE(child(view, u"shortcutHint"_s)->isHidden());
    EXPECT_EQ(text(view, u"pauseTitle"_s), u"Pause Tracking"_s);
    const QColor background = view.palette().color(QPalette::Window);
    for (int day = 0; day < 7; ++day) {
        SCOPED_TRACE(day);
        const QColor bar = barPixel(view, image, day, 7);
        EXPECT_LT(qAbs(bar.lightness() - background.lightness()), 40);
        EXPECT_NE(bar, TierColors::defaultColor(ThresholdTier::green));
    }
}

TEST_F(DropdownViewTest, yellowPausedDayWithShortcutAndStreakShowsEveryRow)
{
    m_preferences.setValue(dailyGoalEnabled, true);
    recordWeek({0, 3 * hour, 1 * hour, 5 * hour, 2 * hour, 1 * hour, 4 * hour});
    recordShortcut(35, commandMask | shiftMask, u"P"_s);
    m_manager.setPaused(true);
    refreshModel();
    ASSERT_GE(m_model.currentStreak(), 1);
    DropdownView view(m_model, m_preferences);
    const QImage image = render(view, u"dropdown-yellow-paused-streak"_s);

    EXPECT_EQ(text(view, u"todayTime"_s), formatDuration(4 * hour, true));
    EXPECT_EQ(text(view, u"yesterdayValue"_s), formatDuration(1 * hour, true));
    EXPECT_EQ(text(view, u"averageValue"_s), formatDuration(m_model.sevenDayAvgSeconds(), true));
    EXPECT_EQ(text(view, u"streakText"_s), u"%1 day streak"_s.arg(m_model.currentStreak()));
    EXPECT_FALSE(child<QWidget>(view, u"streakRow"_s)->isHidden());
    EXPECT_EQ(text(view, u"shortcutHint"_s), u"\u21E7\u2318P"_s);
    EXPECT_FALSE(child(view, u"shortcutHint"_s)->isHidden());
    EXPECT_EQ(text(view, u"pauseTitle"_s), u"Resume Tracking"_s);
    EXPECT_EQ(child(view, u"todayTime"_s)->palette().color(QPalette::WindowText),
              TierColors::defaultColor(ThresholdTier::yellow));

    const auto yellow = TierColors::defaultColor(ThresholdTier::yellow);
    const auto green = TierColors::defaultColor(ThresholdTier::green);
    const auto red = TierColors::defaultColor(ThresholdTier::red);
    const QList<QColor> expected{QColor(), yellow, green, red, green, green, yellow};
    for (int day = 1; day < 7; ++day) {
        SCOPED_TRACE(day);
        EXPECT_EQ(barPixel(view, image, day, 7).rgb(), expected[day].rgb());
    }
}

TEST_F(DropdownViewTest, redDayInIconOnlyModeKeepsPanelContentWithoutSeconds)
{
    m_preferences.setValue(menuBarIconOnly, true);
    m_preferences.setValue(showSeconds, false);
    recordWeek({2 * hour, 4 * hour, 6 * hour, 7 * hour, 1 * hour, 3 * hour, 6 * hour + 125});
    refreshModel();
    DropdownView view(m_model, m_preferences);
    const QImage image = render(view, u"dropdown-red-icon-only"_s);

    EXPECT_EQ(text(view, u"todayTime"_s), formatDuration(6 * hour + 125, false));
    EXPECT_EQ(text(view, u"yesterdayValue"_s), formatDuration(3 * hour, false));
    EXPECT_EQ(child(view, u"todayTime"_s)->palette().color(QPalette::WindowText),
              TierColors::defaultColor(ThresholdTier::red));
    EXPECT_TRUE(child<QWidget>(view, u"streakRow"_s)->isHidden());
    EXPECT_EQ(barPixel(view, image, 6, 7).rgb(), TierColors::defaultColor(ThresholdTier::red).rgb());
    EXPECT_EQ(barPixel(view, image, 0, 7).rgb(), TierColors::defaultColor(ThresholdTier::green).rgb());
}

TEST_F(DropdownViewTest, pauseButtonTogglesManagerAndFollowsModel)
{
    refreshModel();
    DropdownView view(m_model, m_preferences);
    auto* button = child<QAbstractButton>(view, u"pauseButton"_s);
    EXPECT_EQ(button->accessibleName(), u"Pause screen time tracking"_s);

    QSignalSpy toggle(&view, &DropdownView::pauseToggleRequested);
    button->click();
    EXPECT_EQ(toggle.count(), 1);
    m_manager.setPaused(true); // as the application does on that request
    m_model.refresh();
    EXPECT_EQ(text(view, u"pauseTitle"_s), u"Resume Tracking"_s);
    EXPECT_EQ(button->accessibleName(), u"Resume screen time tracking"_s);

    m_manager.setPaused(false); // as the global shortcut would
    m_model.refresh();
    EXPECT_EQ(text(view, u"pauseTitle"_s), u"Pause Tracking"_s);
}

TEST_F(DropdownViewTest, footerActionsAreAnnouncedWithAccessibleNames)
{
    DropdownView view(m_model, m_preferences);
    QSignalSpy history(&view, &DropdownView::historyRequested);
    QSignalSpy settings(&view, &DropdownView::settingsRequested);
    QSignalSpy quit(&view, &DropdownView::quitRequested);
    auto* historyButton = child<QAbstractButton>(view, u"historyButton"_s);
    auto* settingsButton = child<QAbstractButton>(view, u"settingsButton"_s);
    auto* quitButton = child<QAbstractButton>(view, u"quitButton"_s);
    EXPECT_EQ(historyButton->text(), u"History\u2026"_s);
    EXPECT_EQ(historyButton->accessibleName(), u"Open screen time history"_s);
    EXPECT_EQ(settingsButton->text(), u"Settings\u2026"_s);
    EXPECT_EQ(settingsButton->accessibleName(), u"Open settings"_s);
    EXPECT_EQ(quitButton->accessibleName(), u"Quit Lumatick"_s);

    historyButton->click();
    settingsButton->click();
    quitButton->click();
    EXPECT_EQ(history.count(), 1);
    EXPECT_EQ(settings.count(), 1);
    EXPECT_EQ(quit.count(), 1);
}

TEST_F(DropdownViewTest, preferenceChangesShowInOpenPanel)
{
    recordWeek({0, 0, 0, 0, 0, 3 * hour + 42, 0});
    refreshModel();
    DropdownView view(m_model, m_preferences);
    EXPECT_EQ(text(view, u"yesterdayValue"_s), formatDuration(3 * hour + 42, true));

    m_preferences.setValue(showSeconds, false);
    EXPECT_EQ(text(view, u"yesterdayValue"_s), formatDuration(3 * hour + 42, false));

    recordShortcut(0, controlMask, u"A"_s);
    EXPECT_EQ(text(view, u"shortcutHint"_s), u"\u2303A"_s);
    EXPECT_FALSE(child(view, u"shortcutHint"_s)->isHidden());

    m_preferences.setValue(shortcutKeyCode, -1);
    EXPECT_TRUE(child(view, u"shortcutHint"_s)->isHidden());
}

TEST_F(DropdownViewTest, streakLineFollowsGoalSwitch)
{
    m_preferences.setValue(dailyGoalEnabled, true);
    recordWeek({hour, hour, hour, hour, hour, hour, hour});
    refreshModel();
    DropdownView view(m_model, m_preferences);
    ASSERT_GE(m_model.currentStreak(), 1);
    EXPECT_FALSE(child<QWidget>(view, u"streakRow"_s)->isHidden());

    m_preferences.setValue(dailyGoalEnabled, false);
    m_model.refresh();
    EXPECT_TRUE(child<QWidget>(view, u"streakRow"_s)->isHidden());
}

TEST_F(DropdownViewTest, todayTextTakesNewTierColourWhenTotalCrossesThreshold)
{
    recordWeek({0, 0, 0, 0, 0, 0, 3 * hour - 1});
    refreshModel();
    DropdownView view(m_model, m_preferences);
    auto* todayLabel = child(view, u"todayTime"_s);
    const auto shownColour = [todayLabel] { return todayLabel->palette().color(QPalette::WindowText); };
    EXPECT_EQ(shownColour(), TierColors::defaultColor(ThresholdTier::green));

    recordWeek({0, 0, 0, 0, 0, 0, 3 * hour});
    m_model.refresh();
    EXPECT_EQ(text(view, u"todayTime"_s), formatDuration(3 * hour, true));
    const QColor yellow = TierColors::defaultColor(ThresholdTier::yellow);
    EXPECT_NE(shownColour(), yellow) << "a new tier blends in rather than jumping";
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownColour() == yellow; }));
}

TEST_F(DropdownViewTest, chartWithFewerDaysDrawsOnlyThoseColumns)
{
    DropdownView view(m_model, m_preferences);
    auto* chart = child<MiniBarChartView>(view, u"miniChart"_s);
    chart->setEntries({{3 * hour}, {5 * hour}, {hour}});
    chart->setThresholds(3, 5);
    view.adjustSize();
    const QImage image = view.grab().toImage();
    EXPECT_EQ(barPixel(view, image, 0, 3).rgb(), TierColors::defaultColor(ThresholdTier::yellow).rgb());
    EXPECT_EQ(barPixel(view, image, 1, 3).rgb(), TierColors::defaultColor(ThresholdTier::red).rgb());
    EXPECT_EQ(barPixel(view, image, 2, 3).rgb(), TierColors::defaultColor(ThresholdTier::green).rgb());
}

} // namespace
