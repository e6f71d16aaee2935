#include "DropdownView.h"

#include "FormatDuration.h"
#include "MenuBarViewModel.h"
#include "MiniBarChartView.h"
#include "PanelStyle.h"
#include "PauseButton.h"
#include "Preferences.h"
#include "ReturnPressesButtons.h"
#include "RoleAccessible.h"
#include "ScreenTimeManager.h"
#include "ShortcutText.h"
#include "SpokenDuration.h"
#include "StreakText.h"
#include "SymbolIcon.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <utility>

using namespace PreferenceKeys;

namespace {

constexpr int padding = 16;
constexpr int symbolSize = 12;
constexpr int tierFadeMilliseconds = 350;
constexpr char32_t fireCodePoint = 0x1F525;

QLabel* secondaryLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(PanelStyle::calloutFont());
    PanelStyle::setTextColor(label, PanelStyle::secondary(parent->palette()));
    return label;
}

void addDivider(QBoxLayout* stack, int above, int below)
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    line->setForegroundRole(QPalette::Mid);
    stack->addSpacing(above);
    stack->addWidget(line);
    stack->addSpacing(below);
}

// WORKAROUND: many desktops ship no colour emoji font, where the fire emoji would show as an
// empty box; a drawn flame stands in for it there.
void showFireSymbol(QLabel* label)
{
    if (QFontMetrics(label->font()).inFontUcs4(fireCodePoint)) {
        label->setText(QString::fromUcs4(&fireCodePoint, 1));
        return;
    }
    label->setPixmap(SymbolIcon::pixmap(SymbolIcon::Symbol::flame, PanelStyle::paused(), 13));
}

// Figures a screen reader reaches with Tab, one stop each, so the panel reads top to bottom
// before its buttons; their names carry the words in place of the abbreviated text.
void makeReadable(QWidget* figure)
{
    figure->setFocusPolicy(Qt::TabFocus);
}

} // namespace

DropdownView::DropdownView(MenuBarViewModel& viewModel, Preferences& preferences, QWidget* parent)
    : QWidget(parent)
    , m_viewModel(viewModel)
    , m_preferences(preferences)
    , m_tierColors(preferences)
{
    setObjectName(QStringLiteral("dropdownView"));
    RoleAccessible::setRole(this, QAccessible::Dialog);
    ReturnPressesButtons::install(*this);
    setFixedWidth(panelWidth);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(padding, padding, padding, padding);
    stack->setSpacing(0);
    buildHeader(stack);
    addDivider(stack, 0, 8);
    buildStatistics(stack);
    buildStreakRow(stack);
    m_chart = new MiniBarChartView(m_preferences, this);
    m_chart->setObjectName(QStringLiteral("miniChart"));
    makeReadable(m_chart);
    RoleAccessible::setRole(m_chart, QAccessible::Chart);
    stack->addSpacing(6);
    stack->addWidget(m_chart);
    stack->addSpacing(6);
    addDivider(stack, 0, 8);
    buildPauseButton(stack);
    addDivider(stack, 8, 8);
    buildFooter(stack);
    buildQuitRow(stack);
    connectViewModel();
    connect(&m_preferences, &Preferences::changed, this, &DropdownView::showAll);
    showAll();
}

void DropdownView::buildHeader(QBoxLayout* stack)
{
    auto* title = new QLabel(QStringLiteral("Screen Time Today"), this);
    title->setObjectName(QStringLiteral("headerTitle"));
    title->setFont(PanelStyle::subheadlineFont());
    PanelStyle::setTextColor(title, PanelStyle::secondary(palette()));
    m_today = new QLabel(this);
    m_today->setObjectName(QStringLiteral("todayTime"));
    m_today->setFont(PanelStyle::todayFont());
    makeReadable(m_today);
    m_todayFade = new QVariantAnimation(this);
    m_todayFade->setDuration(tierFadeMilliseconds);
    connect(m_todayFade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& colour) { PanelStyle::setTextColor(m_today, colour.value<QColor>()); });
    stack->addWidget(title);
    stack->addSpacing(2);
    stack->addWidget(m_today);
    // Shown only while the totals are shared through a folder.
    m_allComputersRow = new QWidget(this);
    m_allComputersRow->setObjectName(QStringLiteral("allComputersRow"));
    auto* allComputers = new QVBoxLayout(m_allComputersRow);
    allComputers->setContentsMargins(0, 0, 0, 0);
    m_allComputers =
        addStatisticRow(allComputers, QStringLiteral("All computers"), QStringLiteral("allComputersValue"));
    stack->addWidget(m_allComputersRow);
    stack->addSpacing(12);
}

void DropdownView::buildStatistics(QBoxLayout* stack)
{
    m_yesterday = addStatisticRow(stack, QStringLiteral("Yesterday"), QStringLiteral("yesterdayValue"));
    m_average = addStatisticRow(stack, QStringLiteral("7-Day Average"), QStringLiteral("averageValue"));
}

QLabel* DropdownView::addStatisticRow(QBoxLayout* stack, const QString& label, const QString& objectName)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 2, 0, 2);
    row->addWidget(secondaryLabel(label, this));
    row->addStretch(1);
    QLabel* value = secondaryLabel(QString(), this);
    value->setObjectName(objectName);
    makeReadable(value);
    row->addWidget(value);
    stack->addLayout(row);
    return value;
}

void DropdownView::buildStreakRow(QBoxLayout* stack)
{
    m_streakRow = new QWidget(this);
    m_streakRow->setObjectName(QStringLiteral("streakRow"));
    auto* row = new QHBoxLayout(m_streakRow);
    row->setContentsMargins(0, 4, 0, 0);
    row->setSpacing(4);
    auto* fire = new QLabel(m_streakRow);
    fire->setObjectName(QStringLiteral("streakSymbol"));
    fire->setFont(PanelStyle::calloutFont());
    fire->setAccessibleName(QStringLiteral("Fire"));
    showFireSymbol(fire);
    m_streak = new QLabel(m_streakRow);
    m_streak->setObjectName(QStringLiteral("streakText"));
    QFont font = PanelStyle::calloutFont();
    font.setWeight(QFont::Medium);
    m_streak->setFont(font);
    makeReadable(m_streak);
    row->addWidget(fire);
    row->addWidget(m_streak);
    row->addStretch(1);
    stack->addWidget(m_streakRow);
}

void DropdownView::buildPauseButton(QBoxLayout* stack)
{
    m_pauseButton = new PauseButton(this);
    connect(m_pauseButton, &QAbstractButton::clicked, this, &DropdownView::pauseToggleRequested);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(m_pauseButton, 1);
    row->addWidget(buildPauseMenuButton());
    stack->addLayout(row);
}

// The timed pauses: from the arrow beside the pause button, or the button's context menu.
QToolButton* DropdownView::buildPauseMenuButton()
{
    auto* menu = new QMenu(this);
    connect(menu->addAction(QStringLiteral("Pause for 15 Minutes")), &QAction::triggered, this,
            [this] { Q_EMIT pauseForRequested(15 * 60); });
    connect(menu->addAction(QStringLiteral("Pause for 1 Hour")), &QAction::triggered, this,
            [this] { Q_EMIT pauseForRequested(60 * 60); });
    connect(menu->addAction(QStringLiteral("Pause Until Tomorrow")), &QAction::triggered, this,
            &DropdownView::pauseUntilTomorrowRequested);
    m_pauseButton->addActions(menu->actions());
    m_pauseButton->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("pauseMenuButton"));
    button->setAccessibleName(QStringLiteral("Pause for a while"));
    button->setToolTip(QStringLiteral("Pause for a while"));
    button->setAutoRaise(true);
    button->setArrowType(Qt::DownArrow);
    button->setPopupMode(QToolButton::InstantPopup);
    // The arrow is the button's face; the style's own menu mark would draw a second one.
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    button->setMenu(menu);
    return button;
}

void DropdownView::buildFooter(QBoxLayout* stack)
{
    QToolButton* history =
        footerButton(QStringLiteral("History\u2026"), QStringLiteral("Open screen time history"),
                     QStringLiteral("historyButton"));
    history->setIcon(
        SymbolIcon::icon(SymbolIcon::Symbol::chartBar, PanelStyle::primary(palette()), symbolSize));
    QToolButton* settings = footerButton(QStringLiteral("Settings\u2026"), QStringLiteral("Open settings"),
                                         QStringLiteral("settingsButton"));
    settings->setIcon(SymbolIcon::icon(SymbolIcon::Symbol::gear, PanelStyle::primary(palette()), symbolSize));
    connect(history, &QToolButton::clicked, this, &DropdownView::historyRequested);
    connect(settings, &QToolButton::clicked, this, &DropdownView::settingsRequested);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(history);
    row->addStretch(1);
    row->addWidget(settings);
    stack->addLayout(row);
}

void DropdownView::buildQuitRow(QBoxLayout* stack)
{
    QToolButton* quit =
        footerButton(QStringLiteral("Quit"), QStringLiteral("Quit Lumatick"), QStringLiteral("quitButton"));
    quit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    PanelStyle::setTextColor(quit, PanelStyle::secondary(palette()));
    connect(quit, &QToolButton::clicked, this, &DropdownView::quitRequested);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 6, 0, 0);
    row->addStretch(1);
    row->addWidget(quit);
    stack->addLayout(row);
}

QToolButton* DropdownView::footerButton(const QString& title, const QString& accessibleName,
                                        const QString& objectName)
{
    auto* button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setText(title);
    button->setAccessibleName(accessibleName);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(symbolSize, symbolSize));
    button->setFont(PanelStyle::calloutFont());
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void DropdownView::connectViewModel()
{
    connect(&m_viewModel, &MenuBarViewModel::formattedTimeChanged, this, &DropdownView::showToday);
    connect(&m_viewModel, &MenuBarViewModel::thresholdTierChanged, this, &DropdownView::showToday);
    connect(&m_viewModel, &MenuBarViewModel::yesterdaySecondsChanged, this, &DropdownView::showStatistics);
    connect(&m_viewModel, &MenuBarViewModel::sevenDayAvgSecondsChanged, this, &DropdownView::showStatistics);
    connect(&m_viewModel, &MenuBarViewModel::allComputersSecondsChanged, this,
            &DropdownView::showAllComputers);
    connect(&m_viewModel, &MenuBarViewModel::currentStreakChanged, this, &DropdownView::showStreak);
    connect(&m_viewModel, &MenuBarViewModel::dailyGoalEnabledChanged, this, &DropdownView::showStreak);
    connect(&m_viewModel, &MenuBarViewModel::last7DaySecondsChanged, this, &DropdownView::showChart);
    connect(&m_viewModel, &MenuBarViewModel::isPausedChanged, this, &DropdownView::showPauseState);
}

void DropdownView::showAll()
{
    showToday();
    showStatistics();
    showAllComputers();
    showStreak();
    showChart();
    showPauseState();
}

// Each opening starts at today's total, which a screen reader then reads first.
void DropdownView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (std::exchange(m_todayStale, false)) {
        // A tier reached while closed is shown at once, not glided into on opening.
        m_todayFade->stop();
        m_todayColourShown = false;
        showToday();
    }
    m_today->setFocus(Qt::PopupFocusReason);
}

// Once drawn, the figure of a closed panel is left alone: nobody sees it, and each second's new
// text would otherwise cost a relayout and an accessibility event.
void DropdownView::showToday()
{
    if (!m_today->text().isEmpty() && !isVisible()) {
        m_todayStale = true;
        return;
    }
    m_today->setText(m_viewModel.formattedTime());
    m_today->setAccessibleName(
        QStringLiteral("Screen time today: ") +
        spokenDuration(m_viewModel.accumulatedSeconds(), m_preferences.value(PreferenceKeys::showSeconds)));
    fadeTodayColour(m_tierColors.tierColor(m_viewModel.thresholdTier()));
}

// A new tier blends in so the change catches the eye without a jump; the first colour and an
// unchanged one are set at once.
void DropdownView::fadeTodayColour(const QColor& target)
{
    const QColor shown = m_today->palette().color(QPalette::WindowText);
    const QColor heading =
        m_todayFade->state() == QAbstractAnimation::Running ? m_todayFade->endValue().value<QColor>() : shown;
    if (heading == target)
        return;
    m_todayFade->stop();
    if (!m_todayColourShown) {
        m_todayColourShown = true;
        PanelStyle::setTextColor(m_today, target);
        return;
    }
    m_todayFade->setStartValue(shown);
    m_todayFade->setEndValue(target);
    m_todayFade->start();
}

void DropdownView::showStatistics()
{
    const bool showSeconds = m_preferences.value(PreferenceKeys::showSeconds);
    m_yesterday->setText(formatDuration(m_viewModel.yesterdaySeconds(), showSeconds));
    m_yesterday->setAccessibleName(QStringLiteral("Yesterday: ") +
                                   spokenDuration(m_viewModel.yesterdaySeconds(), showSeconds));
    m_average->setText(formatDuration(m_viewModel.sevenDayAvgSeconds(), showSeconds));
    m_average->setAccessibleName(QStringLiteral("7-day average: ") +
                                 spokenDuration(m_viewModel.sevenDayAvgSeconds(), showSeconds));
}

void DropdownView::showAllComputers()
{
    const std::optional<qint64> seconds = m_viewModel.allComputersSeconds();
    m_allComputersRow->setVisible(seconds.has_value());
    if (!seconds)
        return;
    const bool showSeconds = m_preferences.value(PreferenceKeys::showSeconds);
    m_allComputers->setText(formatDuration(*seconds, showSeconds));
    m_allComputers->setAccessibleName(QStringLiteral("All computers today: ") +
                                      spokenDuration(*seconds, showSeconds));
}

void DropdownView::showStreak()
{
    const QString text = streakLineText(m_viewModel.dailyGoalEnabled(), m_viewModel.currentStreak());
    m_streak->setText(text);
    m_streak->setAccessibleName(
        streakSpokenText(m_viewModel.dailyGoalEnabled(), m_viewModel.currentStreak()));
    m_streakRow->setVisible(!text.isEmpty());
}

void DropdownView::showChart()
{
    QList<MiniBarEntry> entries;
    for (qint64 seconds : m_viewModel.last7DaySeconds())
        entries.append(MiniBarEntry{seconds});
    m_chart->setEntries(entries);
    m_chart->setThresholds(m_preferences.value(greenThresholdHours),
                           m_preferences.value(yellowThresholdHours));
}

void DropdownView::showPauseState()
{
    m_pauseButton->setPaused(m_viewModel.isPaused());
    const QString keyChar = m_preferences.value(shortcutKeyChar);
    const bool recorded = isShortcutRecorded(m_preferences.value(shortcutKeyCode), keyChar);
    const qint64 modifiers = m_preferences.value(shortcutModifiers);
    m_pauseButton->setShortcutHint(recorded ? shortcutDisplayText(modifiers, keyChar) : QString(),
                                   recorded ? shortcutSpokenText(modifiers, keyChar) : QString());
}
