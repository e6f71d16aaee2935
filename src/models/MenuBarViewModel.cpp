#include "MenuBarViewModel.h"

#include "FormatDuration.h"
#include "LocalDateConverter.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "StreakText.h"

#include <QHash>
#include <QThread>

#include <algorithm>
#include <limits>

using Comparison = RecordQuery::Comparison;

namespace {

constexpr int daysShownInChart = 7;
constexpr qint64 daysInAverage = 7;
// Most streaks end within a few days, so the walk first reads a handful of records and asks for
// more only while everything read so far continues the run.
constexpr int firstStreakPage = 16;

int nextPageSize(int size)
{
    return size > std::numeric_limits<int>::max() / 2 ? std::numeric_limits<int>::max() : size * 2;
}

} // namespace

MenuBarViewModel::MenuBarViewModel(ScreenTimeManager& screenTimeManager, ActivityTracker& activityTracker,
                                   const Preferences& preferences, Clock clock, QObject* parent)
    : QObject(parent)
    , m_screenTimeManager(screenTimeManager)
    , m_activityTracker(activityTracker)
    , m_preferences(preferences)
    , m_clock(std::move(clock))
{}

MenuBarViewModel::~MenuBarViewModel()
{
    // The store and the tracking core are not thread-safe; every user runs on the main thread.
    Q_ASSERT(thread() == QThread::currentThread());
}

void MenuBarViewModel::setModelContext(RecordStore* store)
{
    if (store == m_modelContext)
        return;
    m_modelContext = store;
    Q_EMIT modelContextChanged();
}

void MenuBarViewModel::refresh()
{
    const qint64 seconds = m_screenTimeManager.accumulatedSeconds();
    assign(m_accumulatedSeconds, seconds, &MenuBarViewModel::accumulatedSecondsChanged);
    assign(m_formattedTime, formatDuration(seconds, m_preferences.value(PreferenceKeys::showSeconds)),
           &MenuBarViewModel::formattedTimeChanged);
    assign(m_thresholdTier, thresholdTierFor(seconds, m_preferences),
           &MenuBarViewModel::thresholdTierChanged);
    assign(m_isPaused, m_screenTimeManager.isPaused(), &MenuBarViewModel::isPausedChanged);
    assign(m_dailyGoalEnabled, m_preferences.value(PreferenceKeys::dailyGoalEnabled),
           &MenuBarViewModel::dailyGoalEnabledChanged);
    assign(m_allComputersSeconds, m_allComputersToday ? m_allComputersToday() : std::nullopt,
           &MenuBarViewModel::allComputersSecondsChanged);
}

QStringList MenuBarViewModel::figureLines() const
{
    const bool showSeconds = m_preferences.value(PreferenceKeys::showSeconds);
    QStringList lines{tr("Today: %1").arg(m_formattedTime),
                      tr("Yesterday: %1").arg(formatDuration(m_yesterdaySeconds, showSeconds)),
                      tr("7-Day Average: %1").arg(formatDuration(m_sevenDayAvgSeconds, showSeconds))};
    const QString streak = streakLineText(m_dailyGoalEnabled, m_currentStreak);
    if (!streak.isEmpty())
        lines.append(streak);
    return lines;
}

void MenuBarViewModel::refreshStatistics()
{
    if (!m_modelContext)
        return;
    const QDate today = m_clock().toLocalTime().date();
    refreshYesterday(today);
    refreshSevenDayAverage(today);
    refreshCurrentStreak(today);
    refreshLast7Days(today);
}

void MenuBarViewModel::refreshYesterday(const QDate& today)
{
    const QDateTime yesterday = today.addDays(-1).startOfDay();
    if (!yesterday.isValid())
        return;
    const QList<DailyScreenTime> records =
        m_modelContext->fetch(RecordQuery().where(Comparison::Equal, yesterday).limitedTo(1));
    const qint64 seconds = records.isEmpty() ? 0 : records.first().totalSeconds();
    assign(m_yesterdaySeconds, seconds, &MenuBarViewModel::yesterdaySecondsChanged);
}

// Days without a record are left out rather than counted as zero, so a week with a few
// untracked days is not shown as lighter than it was.
void MenuBarViewModel::refreshSevenDayAverage(const QDate& today)
{
    const QDateTime from = today.addDays(-daysInAverage).startOfDay();
    if (!from.isValid())
        return;
    const QList<DailyScreenTime> records = m_modelContext->fetch(
        RecordQuery().where(Comparison::GreaterOrEqual, from).where(Comparison::Less, today.startOfDay()));
    qint64 sum = 0;
    for (const DailyScreenTime& record : records)
        sum += record.totalSeconds();
    const qint64 average = records.isEmpty() ? 0 : sum / records.size();
    assign(m_sevenDayAvgSeconds, average, &MenuBarViewModel::sevenDayAvgSecondsChanged);
}

// Read from the mirrored setting, not the preferences, so the streak agrees with the goal
// state the panel shows.
void MenuBarViewModel::refreshCurrentStreak(const QDate& today)
{
    const qint64 streak = m_dailyGoalEnabled ? goalStreakBefore(today) : 0;
    assign(m_currentStreak, streak, &MenuBarViewModel::currentStreakChanged);
}

// Today is left out: its total can still grow past the goal.
qint64 MenuBarViewModel::goalStreakBefore(const QDate& today) const
{
    const QDate yesterday = today.addDays(-1);
    if (!yesterday.isValid())
        return 0;
    for (int pageSize = firstStreakPage;; pageSize = nextPageSize(pageSize)) {
        const QList<DailyScreenTime> records =
            m_modelContext->fetch(RecordQuery()
                                      .where(Comparison::Less, today.startOfDay())
                                      .sortedBy(RecordQuery::Order::Descending)
                                      .limitedTo(pageSize));
        const StreakWalk walk = walkStreak(records, yesterday);
        if (walk.ended || records.size() < pageSize)
            return walk.days;
    }
}

// A missing day ends the run, and so does a second record for a day already counted.
MenuBarViewModel::StreakWalk MenuBarViewModel::walkStreak(QList<DailyScreenTime> records, QDate expected)
{
    // Unsaved totals come back after the stored rows, whatever their date.
    std::stable_sort(records.begin(), records.end(), [](const DailyScreenTime& a, const DailyScreenTime& b) {
        return a.dateSecondsSinceEpoch() > b.dateSecondsSinceEpoch();
    });
    StreakWalk walk;
    const LocalDateConverter converter;
    for (const DailyScreenTime& record : std::as_const(records)) {
        if (!expected.isValid() || converter.dateOf(record.dateSecondsSinceEpoch()) != expected ||
            !record.goalMet()) {
            walk.ended = true;
            break;
        }
        ++walk.days;
        expected = expected.addDays(-1);
    }
    return walk;
}

void MenuBarViewModel::refreshLast7Days(const QDate& today)
{
    if (!today.addDays(1 - daysShownInChart).startOfDay().isValid())
        return;
    assign(m_last7DaySeconds, last7DaysEndingOn(today), &MenuBarViewModel::last7DaySecondsChanged);
}

// Today's bar is the live count: the stored record lags up to a minute behind it.
QList<qint64> MenuBarViewModel::last7DaysEndingOn(const QDate& today) const
{
    const QDate first = today.addDays(1 - daysShownInChart);
    const QList<DailyScreenTime> records =
        m_modelContext->fetch(RecordQuery()
                                  .where(Comparison::GreaterOrEqual, first.startOfDay())
                                  .where(Comparison::LessOrEqual, today.startOfDay()));
    QHash<QDate, qint64> totals;
    // A day saved twice (after a time zone change) keeps the first total fetched.
    const LocalDateConverter converter;
    for (const DailyScreenTime& record : records) {
        const QDate day = converter.dateOf(record.dateSecondsSinceEpoch());
        totals.insert(day, totals.value(day, record.totalSeconds()));
    }
    QList<qint64> values;
    for (int offset = 1 - daysShownInChart; offset <= 0; ++offset) {
        const QDate day = today.addDays(offset);
        values.append(offset == 0 ? m_accumulatedSeconds : totals.value(day, 0));
    }
    return values;
}

template <typename T, typename Signal>
void MenuBarViewModel::assign(T& member, const T& value, Signal changed)
{
    if (member == value)
        return;
    member = value;
    Q_EMIT(this->*changed)(member);
}
