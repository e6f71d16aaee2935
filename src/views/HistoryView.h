#pragma once

#include "DailyRange.h"
#include "MonthlyRange.h"

#include <QSize>
#include <QWidget>

#include <memory>

class BarChartView;
class CsvFileChooser;
class HistoryViewModel;
class Preferences;
class QBoxLayout;
class QLabel;
class QPushButton;
class SegmentedControl;

// The content of the history window: daily totals and monthly averages as two bar charts,
// each with its range picker, the goal streaks when the daily goal is on, and the CSV export;
// above them, while other computers share their totals, the choice of this computer or all,
// which follows their files as they appear, change and go.
// It shows what the view model computes and hands the user's choices back to it; a new view
// starts at 7 days and 6 months and loads its figures each time it is shown.
class HistoryView : public QWidget {
    Q_OBJECT
public:
    // For the window that hosts this view.
    static constexpr QSize defaultWindowSize{650, 600};
    static constexpr QSize minimumWindowSize{500, 400};
    // Below this the content scrolls instead of squeezing the charts.
    static constexpr QSize minimumContentSize{550, 500};
    static constexpr int padding = 24;
    static constexpr int dailyPickerWidth = 160;
    static constexpr int monthlyPickerWidth = 120;
    static constexpr int computerPickerWidth = 240;

    // Keeps references; the model, preferences and chooser must outlive the view. The export
    // asks `chooser` where to write.
    HistoryView(HistoryViewModel& viewModel, Preferences& preferences, CsvFileChooser& chooser,
                QWidget* parent = nullptr);
    // As above, asking with the desktop's save dialog.
    HistoryView(HistoryViewModel& viewModel, Preferences& preferences, QWidget* parent = nullptr);
    ~HistoryView() override;

    DailyRange dailyRange() const { return m_dailyRange; }
    MonthlyRange monthlyRange() const { return m_monthlyRange; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    HistoryView(HistoryViewModel& viewModel, Preferences& preferences,
                std::unique_ptr<CsvFileChooser> ownChooser, CsvFileChooser* chooser, QWidget* parent);

    QWidget* buildContent();
    void buildComputerPicker(QBoxLayout* stack);
    void showComputerPicker();
    void buildDailySection(QBoxLayout* stack);
    void buildMonthlySection(QBoxLayout* stack);
    void buildStreakSection(QBoxLayout* stack);
    void buildExportRow(QBoxLayout* stack);
    QLabel* addStatistic(QBoxLayout* row, const QString& title, const QString& objectName);
    void connectViewModel();
    void exportRecords();
    void loadAll();
    void selectDailyRange(DailyRange range);
    void selectMonthlyRange(MonthlyRange range);
    void showStreaks();
    void applyPreferences();

    HistoryViewModel& m_viewModel;
    Preferences& m_preferences;
    std::unique_ptr<CsvFileChooser> m_ownChooser;
    CsvFileChooser& m_chooser;
    DailyRange m_dailyRange = DailyRange::sevenDays;
    MonthlyRange m_monthlyRange = MonthlyRange::sixMonths;
    SegmentedControl* m_computerPicker = nullptr;
    SegmentedControl* m_dailyPicker = nullptr;
    SegmentedControl* m_monthlyPicker = nullptr;
    BarChartView* m_dailyChart = nullptr;
    BarChartView* m_monthlyChart = nullptr;
    QWidget* m_streakDivider = nullptr;
    QWidget* m_streakSection = nullptr;
    QLabel* m_currentStreak = nullptr;
    QLabel* m_longestStreak = nullptr;
    QPushButton* m_exportButton = nullptr;
};
