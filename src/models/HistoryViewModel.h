#pragma once

#include "BarChartEntry.h"
#include "Clock.h"
#include "DailyScreenTime.h"
#include "RecordQuery.h"
#include "SharedTotalsFolder.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>

#include <optional>

class CsvFileChooser;
class Preferences;
class RecordStore;

// The figures behind the history window: daily and monthly bars and the two goal streaks.
// It reads stored records only, so today's bar shows today's total as last saved. Made afresh
// each time the window opens; nothing reloads on its own while the window stays open, except
// when the user switches between this computer and all of them: while totals are shared and
// other computers' files are there, the bars and the export may cover every computer, each
// day the sum of their totals, and the window follows those files as they change. The streaks
// stay this computer's, whose goal they count.
class HistoryViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<BarChartEntry> dailyEntries READ dailyEntries NOTIFY dailyEntriesChanged)
    Q_PROPERTY(QList<BarChartEntry> monthlyEntries READ monthlyEntries NOTIFY monthlyEntriesChanged)
    Q_PROPERTY(qint64 currentStreak READ currentStreak NOTIFY currentStreakChanged)
    Q_PROPERTY(qint64 longestStreak READ longestStreak NOTIFY longestStreakChanged)
public:
    // Without a store every fetch reads as no records: zero bars and zero streaks.
    HistoryViewModel(RecordStore* store, const Preferences& preferences, Clock clock,
                     QObject* parent = nullptr);
    ~HistoryViewModel() override;

    const QList<BarChartEntry>& dailyEntries() const { return m_dailyEntries; }
    const QList<BarChartEntry>& monthlyEntries() const { return m_monthlyEntries; }
    qint64 currentStreak() const { return m_currentStreak; }
    qint64 longestStreak() const { return m_longestStreak; }

    // One bar per day for the last `days` days, oldest first, ending with today.
    void loadDailyEntries(int days);
    // One bar per month for the last `months` months, ending with the current one; each bar is
    // the average over the days that have a record.
    void loadMonthlyEntries(int months);
    // Days before today only: today's total can still change.
    void computeStreaks();
    // Why nothing was exported when the records cannot be read; see ::exportCSV. Covering all
    // computers, the export has one line per computer per day.
    std::optional<QString> exportCSV(CsvFileChooser& chooser);

    // The folder the totals are shared through; without one only this computer is shown.
    void setSharedTotals(const SharedTotalsFolder* folder);
    // Whether the choice between this computer and all computers means anything now.
    bool offersAllComputers() const;
    bool showsAllComputers() const { return m_allComputers && offersAllComputers(); }
    // Reloads the bars of the ranges last loaded.
    void showAllComputers(bool all);

Q_SIGNALS:
    void dailyEntriesChanged();
    void monthlyEntriesChanged();
    void currentStreakChanged();
    void longestStreakChanged();
    // The other computers' files changed: whether they are offered, and their figures.
    void computersChanged();

private:
    QDate today() const;
    QList<DailyScreenTime> fetch(const RecordQuery& query) const;
    // Each day's total from `first` on: this computer's, or summed over all computers.
    QMap<QDate, qint64> dayTotals(const QDate& first) const;
    static qint64 longestRun(const QList<DailyScreenTime>& ascending);
    static qint64 runEndingYesterday(const QList<DailyScreenTime>& ascending, const QDate& today);
    void setStreaks(qint64 current, qint64 longest);

    RecordStore* m_store;
    const Preferences& m_preferences;
    Clock m_clock;
    QList<BarChartEntry> m_dailyEntries;
    QList<BarChartEntry> m_monthlyEntries;
    qint64 m_currentStreak = 0;
    qint64 m_longestStreak = 0;
    QPointer<const SharedTotalsFolder> m_sharedTotals;
    bool m_allComputers = false;
    int m_dailyDays = 0;
    int m_monthlyMonths = 0;
};
