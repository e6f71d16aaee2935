#include "HistoryView.h"

#include "BarChartView.h"
#include "CsvSaveDialog.h"
#include "HistoryViewModel.h"
#include "Logging.h"
#include "PanelStyle.h"
#include "Preferences.h"
#include "ReturnPressesButtons.h"
#include "SegmentedControl.h"
#include "SymbolIcon.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

using namespace PreferenceKeys;
using namespace Qt::StringLiterals;

namespace {

constexpr int exportSymbolSize = 14;

QFont sizedFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont headlineFont()
{
    return sizedFont(14, QFont::Bold);
}

QFont statisticFont()
{
    return sizedFont(20, QFont::Medium);
}

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

template <typename Range, std::size_t count>
QStringList segmentTitles(const std::array<Range, count>& ranges, QString (*title)(Range))
{
    QStringList titles;
    for (Range range : ranges)
        titles.append(title(range));
    return titles;
}

template <typename Range, std::size_t count>
SegmentedControl* rangePicker(const std::array<Range, count>& ranges, int width)
{
    return new SegmentedControl(segmentTitles(ranges, &segmentTitle),
                                segmentTitles(ranges, &spokenSegmentTitle), width);
}

QString daysText(qint64 count)
{
    return QString::number(count) + u" days"_s;
}

} // namespace

HistoryView::HistoryView(HistoryViewModel& viewModel, Preferences& preferences, CsvFileChooser& chooser,
                         QWidget* parent)
    : HistoryView(viewModel, preferences, nullptr, &chooser, parent)
{}

HistoryView::HistoryView(HistoryViewModel& viewModel, Preferences& preferences, QWidget* parent)
    : HistoryView(viewModel, preferences, std::make_unique<CsvSaveDialog>(), nullptr, parent)
{}

HistoryView::HistoryView(HistoryViewModel& viewModel, Preferences& preferences,
                         std::unique_ptr<CsvFileChooser> ownChooser, CsvFileChooser* chooser, QWidget* parent)
    : QWidget(parent)
    , m_viewModel(viewModel)
    , m_preferences(preferences)
    , m_ownChooser(std::move(ownChooser))
    , m_chooser(chooser ? *chooser : *m_ownChooser)
{
    setObjectName(u"historyView"_s);
    ReturnPressesButtons::install(*this);
    auto* scroll = new QScrollArea(this);
    // Not a Tab stop of its own: the window opens on its first control, the daily range.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setObjectName(u"historyScroll"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(buildContent());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    connectViewModel();
    connect(&m_preferences, &Preferences::changed, this, &HistoryView::applyPreferences);
    applyPreferences();
}

HistoryView::~HistoryView() = default;

// Every appearance loads afresh with the current ranges; a window brought back from being
// minimised is not a new appearance.
void HistoryView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        loadAll();
}

QWidget* HistoryView::buildContent()
{
    auto* content = new QWidget;
    content->setObjectName(u"historyContent"_s);
    // Only the width is fixed here: the height follows the sections, so the content scrolls
    // rather than squeezing the fixed-height charts into each other.
    content->setMinimumWidth(minimumContentSize.width());
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(padding, padding, padding, padding);
    stack->setSpacing(padding);
    buildComputerPicker(stack);
    buildDailySection(stack);
    buildMonthlySection(stack);
    buildStreakSection(stack);
    stack->addWidget(divider(content));
    buildExportRow(stack);
    stack->addStretch(1);
    return content;
}

void HistoryView::buildComputerPicker(QBoxLayout* stack)
{
    const QStringList titles{u"This computer"_s, u"All computers"_s};
    m_computerPicker = new SegmentedControl(titles, titles, computerPickerWidth);
    m_computerPicker->setObjectName(u"computerPicker"_s);
    m_computerPicker->setAccessibleName(u"Computers shown"_s);
    m_computerPicker->setCurrentIndex(0);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_computerPicker);
    stack->addLayout(row);
    connect(m_computerPicker, &SegmentedControl::currentIndexChanged, this,
            [this](int index) { m_viewModel.showAllComputers(index == 1); });
}

// Shown only while there are other computers to add; when they go, the window falls back to
// this computer's figures.
void HistoryView::showComputerPicker()
{
    const bool offered = m_viewModel.offersAllComputers();
    m_computerPicker->setVisible(offered);
    if (!offered && m_computerPicker->currentIndex() != 0) {
        m_computerPicker->setCurrentIndex(0);
        m_viewModel.showAllComputers(false);
    }
}

void HistoryView::buildDailySection(QBoxLayout* stack)
{
    auto* header = new QHBoxLayout;
    auto* title = new QLabel(u"Daily Screen Time"_s);
    title->setFont(headlineFont());
    m_dailyPicker = rangePicker(allDailyRanges, dailyPickerWidth);
    m_dailyPicker->setObjectName(u"dailyRangePicker"_s);
    m_dailyPicker->setAccessibleName(u"Daily range"_s);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(m_dailyPicker);
    stack->addLayout(header);
    m_dailyChart = new BarChartView(u"Hours"_s, m_preferences);
    m_dailyChart->setObjectName(u"dailyChart"_s);
    m_dailyChart->setAccessibleName(u"Daily Screen Time"_s);
    stack->addWidget(m_dailyChart);
    connect(m_dailyPicker, &SegmentedControl::currentIndexChanged, this,
            [this](int index) { selectDailyRange(allDailyRanges.at(static_cast<std::size_t>(index))); });
}

void HistoryView::buildMonthlySection(QBoxLayout* stack)
{
    auto* header = new QHBoxLayout;
    auto* title = new QLabel(u"Monthly Average"_s);
    title->setFont(headlineFont());
    m_monthlyPicker = rangePicker(allMonthlyRanges, monthlyPickerWidth);
    m_monthlyPicker->setObjectName(u"monthlyRangePicker"_s);
    m_monthlyPicker->setAccessibleName(u"Monthly range"_s);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(m_monthlyPicker);
    stack->addLayout(header);
    m_monthlyChart = new BarChartView(u"Avg Hours"_s, m_preferences);
    m_monthlyChart->setObjectName(u"monthlyChart"_s);
    m_monthlyChart->setAccessibleName(u"Monthly Average"_s);
    stack->addWidget(m_monthlyChart);
    connect(m_monthlyPicker, &SegmentedControl::currentIndexChanged, this,
            [this](int index) { selectMonthlyRange(allMonthlyRanges.at(static_cast<std::size_t>(index))); });
}

void HistoryView::buildStreakSection(QBoxLayout* stack)
{
    m_streakDivider = divider(this);
    m_streakSection = new QWidget;
    m_streakSection->setObjectName(u"streakSection"_s);
    auto* column = new QVBoxLayout(m_streakSection);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    auto* title = new QLabel(u"Streaks"_s);
    title->setFont(headlineFont());
    column->addWidget(title);
    auto* row = new QHBoxLayout;
    row->setSpacing(padding);
    m_currentStreak = addStatistic(row, u"Current"_s, u"currentStreakValue"_s);
    m_longestStreak = addStatistic(row, u"Longest"_s, u"longestStreakValue"_s);
    row->addStretch(1);
    column->addLayout(row);
    stack->addWidget(m_streakDivider);
    stack->addWidget(m_streakSection);
}

QLabel* HistoryView::addStatistic(QBoxLayout* row, const QString& title, const QString& objectName)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* caption = new QLabel(title);
    caption->setFont(PanelStyle::captionFont());
    PanelStyle::setTextColor(caption, PanelStyle::secondary(palette()));
    auto* value = new QLabel(daysText(0));
    value->setObjectName(objectName);
    value->setFont(statisticFont());
    column->addWidget(caption);
    column->addWidget(value);
    row->addLayout(column);
    return value;
}

void HistoryView::buildExportRow(QBoxLayout* stack)
{
    m_exportButton = new QPushButton(u"Export CSV\u2026"_s);
    m_exportButton->setObjectName(u"exportButton"_s);
    m_exportButton->setIcon(SymbolIcon::icon(SymbolIcon::Symbol::squareAndArrowUp,
                                             PanelStyle::primary(palette()), exportSymbolSize));
    m_exportButton->setAccessibleName(u"Export screen time data as CSV"_s);
    connect(m_exportButton, &QPushButton::clicked, this, &HistoryView::exportRecords);
    auto* row = new QHBoxLayout;
    row->addWidget(m_exportButton);
    row->addStretch(1);
    stack->addLayout(row);
}

// A store that cannot be read ends the export before any dialog, with nothing written and
// nothing shown; the reason goes to the log.
void HistoryView::exportRecords()
{
    if (const std::optional<QString> failure = m_viewModel.exportCSV(m_chooser))
        qCWarning(lcScreenTime, "CSV export stopped, the records could not be read: %s",
                  qPrintable(*failure));
}

void HistoryView::connectViewModel()
{
    connect(&m_viewModel, &HistoryViewModel::dailyEntriesChanged, this,
            [this] { m_dailyChart->setEntries(m_viewModel.dailyEntries()); });
    connect(&m_viewModel, &HistoryViewModel::monthlyEntriesChanged, this,
            [this] { m_monthlyChart->setEntries(m_viewModel.monthlyEntries()); });
    connect(&m_viewModel, &HistoryViewModel::currentStreakChanged, this, &HistoryView::showStreaks);
    connect(&m_viewModel, &HistoryViewModel::longestStreakChanged, this, &HistoryView::showStreaks);
    // Only sums that include the other computers are read again; when they all went, the
    // picker's fallback reloads this computer's figures.
    connect(&m_viewModel, &HistoryViewModel::computersChanged, this, [this] {
        if (m_viewModel.showsAllComputers())
            m_viewModel.showAllComputers(true);
        showComputerPicker();
    });
    m_dailyChart->setEntries(m_viewModel.dailyEntries());
    m_monthlyChart->setEntries(m_viewModel.monthlyEntries());
    showStreaks();
}

void HistoryView::loadAll()
{
    showComputerPicker();
    m_viewModel.loadDailyEntries(dayCount(m_dailyRange));
    m_viewModel.loadMonthlyEntries(monthCount(m_monthlyRange));
    m_viewModel.computeStreaks();
}

void HistoryView::selectDailyRange(DailyRange range)
{
    m_dailyRange = range;
    m_viewModel.loadDailyEntries(dayCount(range));
}

void HistoryView::selectMonthlyRange(MonthlyRange range)
{
    m_monthlyRange = range;
    m_viewModel.loadMonthlyEntries(monthCount(range));
}

void HistoryView::showStreaks()
{
    m_currentStreak->setText(daysText(m_viewModel.currentStreak()));
    m_currentStreak->setAccessibleName(u"Current streak: "_s + m_currentStreak->text());
    m_longestStreak->setText(daysText(m_viewModel.longestStreak()));
    m_longestStreak->setAccessibleName(u"Longest streak: "_s + m_longestStreak->text());
}

// Thresholds, tier colours and the daily goal switch are read whenever a preference changes,
// so edits made in the settings window show without reopening the history.
void HistoryView::applyPreferences()
{
    const qint64 greenMax = m_preferences.value(greenThresholdHours);
    const qint64 yellowMax = m_preferences.value(yellowThresholdHours);
    m_dailyChart->setThresholds(greenMax, yellowMax);
    m_monthlyChart->setThresholds(greenMax, yellowMax);
    const bool goalEnabled = m_preferences.value(dailyGoalEnabled);
    m_streakDivider->setVisible(goalEnabled);
    m_streakSection->setVisible(goalEnabled);
    showComputerPicker();
}
