#include "HistoryView.h"
#include "BarChartView.h"
#include "CsvExport.h"
#include "CsvFileChooser.h"
#include "HistoryViewModel.h"
#include "Preferences.h"
#include "SegmentedControl.h"
#include "StoreOpener.h"
#include "TierColors.h"

#include "FakeClock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 hour = 3600;
const QDate today(2026, 12, 5);

// Answers the save dialog in place of the user and remembers what it was offered.
class AnsweringChooser : public CsvFileChooser {
public:
    std::optional<QString> answer;
    QStringList offered;

    std::optional<QString> chooseSaveLocation(const QString& suggestedName) override
    {
        offered.append(suggestedName);
        return answer;
    }
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList idsOf(const QList<BarChartEntry>& entries)
{
    QStringList ids;
    for (const BarChartEntry& entry : entries)
        ids.append(entry.id);
    return ids;
}

class HistoryViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_preferences.registerDefaults();
        m_store = StoreOpener(m_dir.path(), m_preferences).open(m_clock.now()).store;
        ASSERT_TRUE(m_store);
    }

    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // A year and a half of varied days, every day recorded, ending with a few chosen ones:
    // 2.5 h today, 45 min yesterday and a run of goal-met days before that.
    void recordSampleHistory()
    {
        m_preferences.setValue(dailyGoalEnabled, true);
        for (int back = 540; back >= 6; --back) {
            const qint64 varied = (back * 7919) % (8 * hour) + 20 * 60;
            m_store->saveDayTotal(today.addDays(-back).startOfDay(), varied);
        }
        const QList<qint64> lastWeek{7 * hour, 4 * hour, 3 * hour, 5 * hour + 1800, 2700};
        for (qsizetype i = 0; i < lastWeek.size(); ++i)
            m_store->saveDayTotal(today.addDays(i - lastWeek.size()).startOfDay(), lastWeek.at(i));
        m_store->saveDayTotal(today.startOfDay(), 2 * hour + 1800);
    }

    std::unique_ptr<HistoryView> showView()
    {
        auto view = std::make_unique<HistoryView>(m_model, m_preferences, m_chooser);
        view->resize(HistoryView::defaultWindowSize);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return view;
    }

    template <typename T>
    T* child(HistoryView& view, const QString& name)
    {
        auto* widget = view.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    QAbstractButton* segment(HistoryView& view, const QString& picker, const QString& title)
    {
        for (auto* button : child<SegmentedControl>(view, picker)->findChildren<QToolButton*>()) {
            if (button->text() == title)
                return button;
        }
        ADD_FAILURE() << "no segment " << title.toStdString();
        return nullptr;
    }

    // What the window shows at its default size, and the whole scrolled content below it.
    void screenshot(HistoryView& view, const QString& name)
    {
        QDir().mkpath(QStringLiteral(LUMATICK_SCREENSHOT_DIR));
        const QString base = QStringLiteral(LUMATICK_SCREENSHOT_DIR "/") + name;
        EXPECT_TRUE(view.grab().save(base + u".png"_s));
        EXPECT_TRUE(child<QWidget>(view, u"historyContent"_s)->grab().save(base + u"-full.png"_s));
    }

    QTemporaryDir m_dir;
    FakeClock m_clock{QDateTime(today, QTime(14, 0))};
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    std::unique_ptr<RecordStore> m_store;
    HistoryViewModel m_model{nullptr, m_preferences, m_clock.clock()};
    AnsweringChooser m_chooser;
};

// The model is rebuilt on the store opened in SetUp.
class HistoryViewOnStoreTest : public HistoryViewTest {
protected:
    void SetUp() override
    {
        HistoryViewTest::SetUp();
        m_storeModel = std::make_unique<HistoryViewModel>(m_store.get(), m_preferences, m_clock.clock());
    }

    std::unique_ptr<HistoryView> showView()
    {
        auto view = std::make_unique<HistoryView>(*m_storeModel, m_preferences, m_chooser);
        view->resize(HistoryView::defaultWindowSize);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return view;
    }

    std::unique_ptr<HistoryViewModel> m_storeModel;
};

} // namespace

TEST_F(HistoryViewOnStoreTest, aNewViewStartsAtSevenDaysAndSixMonthsAndLoadsWhenShown)
{
    recordSampleHistory();
    HistoryView hidden(*m_storeModel, m_preferences, m_chooser);
    EXPECT_TRUE(m_storeModel->dailyEntries().isEmpty()) << "nothing loads before the window opens";

    auto view = showView();

    EXPECT_EQ(view->dailyRange(), DailyRange::sevenDays);
    EXPECT_EQ(view->monthlyRange(), MonthlyRange::sixMonths);
    EXPECT_EQ(child<SegmentedControl>(*view, u"dailyRangePicker"_s)->currentIndex(), 0);
    EXPECT_EQ(child<SegmentedControl>(*view, u"monthlyRangePicker"_s)->currentIndex(), 0);
    auto* daily = child<BarChartView>(*view, u"dailyChart"_s);
    auto* monthly = child<BarChartView>(*view, u"monthlyChart"_s);
    ASSERT_EQ(daily->entries().size(), 7);
    EXPECT_EQ(daily->entries().last().seconds, 2 * hour + 1800);
    EXPECT_EQ(monthly->entries().size(), 6);
    EXPECT_EQ(daily->yAxisLabel(), u"Hours"_s);
    EXPECT_EQ(monthly->yAxisLabel(), u"Avg Hours"_s);
    EXPECT_EQ(child<QLabel>(*view, u"currentStreakValue"_s)->text(),
              u"%1 days"_s.arg(m_storeModel->currentStreak()));
    EXPECT_GT(m_storeModel->longestStreak(), 0);
}

TEST_F(HistoryViewOnStoreTest, switchingSevenToThirtyDaysReloadsTheDailyChartOnly)
{
    recordSampleHistory();
    auto view = showView();
    auto* daily = child<BarChartView>(*view, u"dailyChart"_s);
    auto* monthly = child<BarChartView>(*view, u"monthlyChart"_s);
    const QStringList monthlyIds = idsOf(monthly->entries());
    QSignalSpy dailyLoads(m_storeModel.get(), &HistoryViewModel::dailyEntriesChanged);
    QSignalSpy monthlyLoads(m_storeModel.get(), &HistoryViewModel::monthlyEntriesChanged);
    QSignalSpy currentChanges(m_storeModel.get(), &HistoryViewModel::currentStreakChanged);
    QSignalSpy longestChanges(m_storeModel.get(), &HistoryViewModel::longestStreakChanged);
    const QString streakText = child<QLabel>(*view, u"longestStreakValue"_s)->text();

    segment(*view, u"dailyRangePicker"_s, u"30d"_s)->click();

    EXPECT_EQ(view->dailyRange(), DailyRange::thirtyDays);
    EXPECT_EQ(dailyLoads.count(), 1);
    EXPECT_EQ(daily->entries().size(), 30);
    EXPECT_EQ(monthlyLoads.count(), 0);
    EXPECT_EQ(idsOf(monthly->entries()), monthlyIds);
    EXPECT_EQ(currentChanges.count() + longestChanges.count(), 0);
    EXPECT_EQ(child<QLabel>(*view, u"longestStreakValue"_s)->text(), streakText);

    segment(*view, u"dailyRangePicker"_s, u"30d"_s)->click();
    EXPECT_EQ(dailyLoads.count(), 1) << "picking the selected range again loads nothing";

    segment(*view, u"monthlyRangePicker"_s, u"12mo"_s)->click();
    EXPECT_EQ(monthlyLoads.count(), 1);
    EXPECT_EQ(monthly->entries().size(), 12);
    EXPECT_EQ(dailyLoads.count(), 1);
}

TEST_F(HistoryViewOnStoreTest, thresholdsComeFromThePreferencesAndFollowTheirChanges)
{
    recordSampleHistory();
    auto view = showView();
    auto* daily = child<BarChartView>(*view, u"dailyChart"_s);
    const qint64 todays = daily->entries().last().seconds;
    EXPECT_EQ(daily->barColor(todays), TierColors::defaultColor(ThresholdTier::green));

    m_preferences.setValue(greenThresholdHours, 1);
    m_preferences.setValue(yellowThresholdHours, 2);

    EXPECT_EQ(daily->barColor(todays), TierColors::defaultColor(ThresholdTier::red));
    const QImage image = daily->grab().toImage();
    EXPECT_EQ(image.pixelColor(daily->barRect(6).center().toPoint()).rgb(),
              TierColors::defaultColor(ThresholdTier::red).rgb());
}

TEST_F(HistoryViewOnStoreTest, streakSectionShowsOnlyWhileTheDailyGoalIsOn)
{
    m_preferences.setValue(dailyGoalEnabled, true);
    m_store->saveDayTotal(today.addDays(-1).startOfDay(), hour);
    auto view = showView();
    auto* section = child<QWidget>(*view, u"streakSection"_s);

    EXPECT_TRUE(section->isVisible());
    EXPECT_EQ(child<QLabel>(*view, u"currentStreakValue"_s)->text(), u"1 days"_s);
    EXPECT_EQ(child<QLabel>(*view, u"longestStreakValue"_s)->text(), u"1 days"_s);

    m_preferences.setValue(dailyGoalEnabled, false);
    EXPECT_FALSE(section->isVisible());
}

TEST_F(HistoryViewTest, theExportButtonIsLabelledForPeopleAndAssistiveTechnology)
{
    auto view = showView();
    auto* button = child<QPushButton>(*view, u"exportButton"_s);

    EXPECT_EQ(button->text(), u"Export CSV\u2026"_s);
    EXPECT_EQ(button->accessibleName(), u"Export screen time data as CSV"_s);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_TRUE(child<QWidget>(*view, u"streakSection"_s)->isHidden());
}

TEST_F(HistoryViewOnStoreTest, exportWritesTheWholeFileWhereTheUserChose)
{
    recordSampleHistory();
    m_preferences.setValue(showSeconds, false);
    auto view = showView();
    const QString path = m_dir.filePath(u"chosen.csv"_s);
    m_chooser.answer = path;

    child<QPushButton>(*view, u"exportButton"_s)->click();

    EXPECT_EQ(m_chooser.offered, QStringList{u"lumatick-export.csv"_s});
    const QList<QByteArray> lines = readFile(path).split('\n');
    ASSERT_EQ(lines.size(), 541 + 2); // header, one line per stored day, empty after the last LF
    EXPECT_EQ(lines.first(), csvHeader().toUtf8());
    EXPECT_EQ(lines.at(lines.size() - 2), "2026-12-05,9000,2h 30m,true");
    EXPECT_TRUE(lines.last().isEmpty());
}

TEST_F(HistoryViewOnStoreTest, aCancelledChoiceWritesNothing)
{
    recordSampleHistory();
    auto view = showView();
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    m_chooser.answer = std::nullopt;

    child<QPushButton>(*view, u"exportButton"_s)->click();

    EXPECT_EQ(m_chooser.offered.size(), 1);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), before);
}

TEST_F(HistoryViewOnStoreTest, aFailedWriteLeavesNoPartialFileAndAnEarlierFileUntouched)
{
    recordSampleHistory();
    auto view = showView();
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"exports/taken.csv"_s));
    const QDir exports(m_dir.filePath(u"exports"_s));

    // The chosen name is held by a folder, so the finished file cannot be moved into place.
    m_chooser.answer = exports.filePath(u"taken.csv"_s);
    child<QPushButton>(*view, u"exportButton"_s)->click();
    EXPECT_EQ(exports.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"taken.csv"_s});
    EXPECT_TRUE(QFileInfo(exports.filePath(u"taken.csv"_s)).isDir());

    // A folder that does not exist is not created.
    m_chooser.answer = m_dir.filePath(u"missing/out.csv"_s);
    child<QPushButton>(*view, u"exportButton"_s)->click();
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(u"missing"_s)));
}

TEST_F(HistoryViewOnStoreTest, sectionsStackWithoutOverlapAndScrollInTheSmallestWindow)
{
    recordSampleHistory();
    auto view = showView();
    view->resize(HistoryView::minimumWindowSize);
    QApplication::processEvents();
    auto* content = child<QWidget>(*view, u"historyContent"_s);
    QList<QWidget*> sections{
        child<QWidget>(*view, u"dailyRangePicker"_s),   child<QWidget>(*view, u"dailyChart"_s),
        child<QWidget>(*view, u"monthlyRangePicker"_s), child<QWidget>(*view, u"monthlyChart"_s),
        child<QWidget>(*view, u"streakSection"_s),      child<QWidget>(*view, u"exportButton"_s)};

    EXPECT_GE(content->width(), HistoryView::minimumContentSize.width());
    EXPECT_GE(content->height(), HistoryView::minimumContentSize.height());
    EXPECT_EQ(sections.at(1)->height(), BarChartView::chartHeight);
    for (qsizetype i = 1; i < sections.size(); ++i) {
        SCOPED_TRACE(sections.at(i)->objectName().toStdString());
        const int above = sections.at(i - 1)->mapTo(content, QPoint(0, sections.at(i - 1)->height())).y();
        EXPECT_GE(sections.at(i)->mapTo(content, QPoint(0, 0)).y(), above + HistoryView::padding);
    }
}

TEST_F(HistoryViewOnStoreTest, screenshotsOfEachRangeWithTheGoalOnAndOff)
{
    recordSampleHistory();
    for (bool goal : {true, false}) {
        m_preferences.setValue(dailyGoalEnabled, goal);
        const QString suffix = goal ? u"-goal-on"_s : u"-goal-off"_s;
        auto view = showView();
        screenshot(*view, u"history-7d-6mo"_s + suffix);
        segment(*view, u"dailyRangePicker"_s, u"30d"_s)->click();
        segment(*view, u"monthlyRangePicker"_s, u"12mo"_s)->click();
        screenshot(*view, u"history-30d-12mo"_s + suffix);
        EXPECT_EQ(child<QWidget>(*view, u"streakSection"_s)->isVisible(), goal);
    }
}

TEST_F(HistoryViewOnStoreTest, emptyStoreScreenshotHasZeroBarsWithoutAnnotations)
{
    auto view = showView();
    screenshot(*view, u"history-empty"_s);

    EXPECT_EQ(child<BarChartView>(*view, u"dailyChart"_s)->entries().size(), 7);
    EXPECT_TRUE(child<BarChartView>(*view, u"dailyChart"_s)->barRect(0).height() < 1);
}
