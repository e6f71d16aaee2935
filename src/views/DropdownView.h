#pragma once

#include "TierColors.h"

#include <QWidget>

class MenuBarViewModel;
class MiniBarChartView;
class PauseButton;
class Preferences;
class QBoxLayout;
class QLabel;
class QToolButton;
class QVariantAnimation;

// The content of the popover under the menu bar counter: today's total in its tier colour,
// yesterday, the seven-day average, the goal streak, the last seven days, the pause button and
// the footer actions. Everything shown comes from the view model and the preferences and is
// redrawn when they change; the footer actions are only announced, the shell carries them out.
class DropdownView : public QWidget {
    Q_OBJECT
public:
    static constexpr int panelWidth = 260;

    // Keeps references; the view model and the preferences must outlive the panel.
    DropdownView(MenuBarViewModel& viewModel, Preferences& preferences, QWidget* parent = nullptr);

Q_SIGNALS:
    void historyRequested();
    void settingsRequested();
    void quitRequested();
    // The application owns the pause, so every way of pausing redraws the counter alike.
    void pauseToggleRequested();
    // From the pause button's menu: a pause that resumes by itself.
    void pauseForRequested(qint64 seconds);
    void pauseUntilTomorrowRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildHeader(QBoxLayout* stack);
    void buildStatistics(QBoxLayout* stack);
    void buildStreakRow(QBoxLayout* stack);
    void buildPauseButton(QBoxLayout* stack);
    QToolButton* buildPauseMenuButton();
    void buildFooter(QBoxLayout* stack);
    void buildQuitRow(QBoxLayout* stack);
    QLabel* addStatisticRow(QBoxLayout* stack, const QString& label, const QString& objectName);
    QToolButton* footerButton(const QString& title, const QString& accessibleName, const QString& objectName);
    void connectViewModel();

    void showAll();
    void showToday();
    void fadeTodayColour(const QColor& target);
    void showStatistics();
    void showAllComputers();
    void showStreak();
    void showChart();
    void showPauseState();

    MenuBarViewModel& m_viewModel;
    Preferences& m_preferences;
    TierColors m_tierColors;
    QLabel* m_today = nullptr;
    QVariantAnimation* m_todayFade = nullptr;
    bool m_todayColourShown = false;
    // Today's figure changed while the panel was closed; it is brought up to date as it opens.
    bool m_todayStale = false;
    QWidget* m_allComputersRow = nullptr;
    QLabel* m_allComputers = nullptr;
    QLabel* m_yesterday = nullptr;
    QLabel* m_average = nullptr;
    QWidget* m_streakRow = nullptr;
    QLabel* m_streak = nullptr;
    MiniBarChartView* m_chart = nullptr;
    PauseButton* m_pauseButton = nullptr;
};
