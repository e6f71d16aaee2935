#pragma once

#include "Clock.h"
#include "DailyScreenTime.h"
#include "ThresholdTier.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ActivityTracker;
class Preferences;
class RecordStore;
class ScreenTimeManager;

// The live figures behind the menu bar counter and the dropdown panel. refresh() mirrors the
// tracking core and the preferences and is cheap enough for every tick; refreshStatistics()
// reads the record store and runs only when the panel opens, at midnight and on wake.
// Observers hear of a property only when its value actually changes.
class MenuBarViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString formattedTime READ formattedTime NOTIFY formattedTimeChanged)
    Q_PROPERTY(ThresholdTier thresholdTier READ thresholdTier NOTIFY thresholdTierChanged)
    Q_PROPERTY(bool isPaused READ isPaused NOTIFY isPausedChanged)
    Q_PROPERTY(qint64 accumulatedSeconds READ accumulatedSeconds NOTIFY accumulatedSecondsChanged)
    Q_PROPERTY(qint64 yesterdaySeconds READ yesterdaySeconds NOTIFY yesterdaySecondsChanged)
    Q_PROPERTY(qint64 sevenDayAvgSeconds READ sevenDayAvgSeconds NOTIFY sevenDayAvgSecondsChanged)
    Q_PROPERTY(qint64 currentStreak READ currentStreak NOTIFY currentStreakChanged)
    Q_PROPERTY(bool dailyGoalEnabled READ dailyGoalEnabled NOTIFY dailyGoalEnabledChanged)
    Q_PROPERTY(QList<qint64> last7DaySeconds READ last7DaySeconds NOTIFY last7DaySecondsChanged)
public:
    MenuBarViewModel(ScreenTimeManager& screenTimeManager, ActivityTracker& activityTracker,
                     const Preferences& preferences, Clock clock, QObject* parent = nullptr);
    ~MenuBarViewModel() override;

    ScreenTimeManager& screenTimeManager() const { return m_screenTimeManager; }
    ActivityTracker& activityTracker() const { return m_activityTracker; }
    RecordStore* modelContext() const { return m_modelContext; }
    // Without a store the statistics keep whatever values they have.
    void setModelContext(RecordStore* store);

    const QString& formattedTime() const { return m_formattedTime; }
    ThresholdTier thresholdTier() const { return m_thresholdTier; }
    bool isPaused() const { return m_isPaused; }
    qint64 accumulatedSeconds() const { return m_accumulatedSeconds; }
    qint64 yesterdaySeconds() const { return m_yesterdaySeconds; }
    qint64 sevenDayAvgSeconds() const { return m_sevenDayAvgSeconds; }
    qint64 currentStreak() const { return m_currentStreak; }
    bool dailyGoalEnabled() const { return m_dailyGoalEnabled; }
    const QList<qint64>& last7DaySeconds() const { return m_last7DaySeconds; }
    // Today over every computer sharing the totals; nothing while sharing is off.
    std::optional<qint64> allComputersSeconds() const { return m_allComputersSeconds; }
    // Where refresh() reads the all-computers total; without one it stays empty.
    void setAllComputersToday(std::function<std::optional<qint64>()> source)
    {
        m_allComputersToday = std::move(source);
    }

    // Today, yesterday, the seven-day average and (while the goal is on and a streak runs) the
    // streak, one line each, as the status item's menu shows them: "Today: 4h 37m 12s".
    QStringList figureLines() const;

    // Memory and preferences only: never touches the record store.
    void refresh();
    void refreshStatistics();

Q_SIGNALS:
    void modelContextChanged();
    void formattedTimeChanged(const QString& text);
    void thresholdTierChanged(ThresholdTier tier);
    void isPausedChanged(bool paused);
    void accumulatedSecondsChanged(qint64 seconds);
    void yesterdaySecondsChanged(qint64 seconds);
    void sevenDayAvgSecondsChanged(qint64 seconds);
    void currentStreakChanged(qint64 days);
    void dailyGoalEnabledChanged(bool enabled);
    void last7DaySecondsChanged(const QList<qint64>& seconds);
    void allComputersSecondsChanged(std::optional<qint64> seconds);

private:
    struct StreakWalk {
        qint64 days = 0;
        bool ended = false;
    };

    void refreshYesterday(const QDate& today);
    void refreshSevenDayAverage(const QDate& today);
    void refreshCurrentStreak(const QDate& today);
    void refreshLast7Days(const QDate& today);
    qint64 goalStreakBefore(const QDate& today) const;
    static StreakWalk walkStreak(QList<DailyScreenTime> records, QDate expected);
    QList<qint64> last7DaysEndingOn(const QDate& today) const;

    template <typename T, typename Signal>
    void assign(T& member, const T& value, Signal changed);

    ScreenTimeManager& m_screenTimeManager;
    ActivityTracker& m_activityTracker;
    const Preferences& m_preferences;
    Clock m_clock;
    RecordStore* m_modelContext = nullptr;

    QString m_formattedTime = QStringLiteral("0h 0m 0s");
    ThresholdTier m_thresholdTier = ThresholdTier::green;
    bool m_isPaused = false;
    qint64 m_accumulatedSeconds = 0;
    qint64 m_yesterdaySeconds = 0;
    qint64 m_sevenDayAvgSeconds = 0;
    qint64 m_currentStreak = 0;
    bool m_dailyGoalEnabled = false;
    QList<qint64> m_last7DaySeconds = QList<qint64>(7, 0);
    std::function<std::optional<qint64>()> m_allComputersToday;
    std::optional<qint64> m_allComputersSeconds;
};
