#include "HistoryViewModel.h"

#include "CsvExport.h"
#include "LocalDateConverter.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "SharedTotalsFolder.h"

#include <QHash>
#include <QLocale>
#include <QThread>
#include <QUuid>

#include <algorithm>

using namespace Qt::StringLiterals;
using Comparison = RecordQuery::Comparison;

namespace {

QString monthKey(const QDate& date)
{
    return date.toString(u"yyyy-MM"_s);
}

BarChartEntry makeEntry(QString label, qint64 seconds, QDateTime date)
{
    return {QUuid::createUuid().toString(QUuid::WithoutBraces), std::move(label), seconds, std::move(date)};
}

qint64 averageOf(const QList<qint64>& values)
{
    if (values.isEmpty())
        return 0;
    qint64 sum = 0;
    for (qint64 value : values)
        sum += value;
    return sum / values.size();
}

} // namespace

HistoryViewModel::HistoryViewModel(RecordStore* store, const Preferences& preferences, Clock clock,
                                   QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_preferences(preferences)
    , m_clock(std::move(clock))
{}

HistoryViewModel::~HistoryViewModel()
{
    // The store is not thread-safe and is shared with the tracker on the main thread.
    Q_ASSERT(thread() == QThread::currentThread());
}

void HistoryViewModel::loadDailyEntries(int days)
{
    m_dailyDays = days;
    const QDate last = today();
    const QDate first = last.addDays(1 - static_cast<qint64>(days));
    QList<BarChartEntry> entries;
    if (first.isValid()) {
        const QMap<QDate, qint64> totals = dayTotals(first);
        const QLocale locale;
        for (QDate day = first; day.isValid() && day <= last; day = day.addDays(1))
            entries.append(makeEntry(locale.toString(day, u"MMM d"_s), totals.value(day), day.startOfDay()));
    }
    m_dailyEntries = entries;
    Q_EMIT dailyEntriesChanged();
}

void HistoryViewModel::loadMonthlyEntries(int months)
{
    m_monthlyMonths = months;
    const QDate current = today();
    const QDate start = current.addMonths(-months);
    QList<BarChartEntry> entries;
    if (start.isValid()) {
        QHash<QString, QList<qint64>> groups;
        const QMap<QDate, qint64> totals = dayTotals(start);
        for (auto day = totals.cbegin(); day != totals.cend(); ++day)
            groups[monthKey(day.key())].append(day.value());
        const QLocale locale;
        for (int i = 1; i <= months; ++i) {
            const QDate month = current.addMonths(i - months);
            if (!month.isValid())
                continue;
            entries.append(makeEntry(locale.toString(month, u"MMM yy"_s),
                                     averageOf(groups.value(monthKey(month))), month.startOfDay()));
        }
    }
    m_monthlyEntries = entries;
    Q_EMIT monthlyEntriesChanged();
}

void HistoryViewModel::setSharedTotals(const SharedTotalsFolder* folder)
{
    if (m_sharedTotals)
        disconnect(m_sharedTotals.get(), nullptr, this, nullptr);
    m_sharedTotals = folder;
    if (folder)
        connect(folder, &SharedTotalsFolder::totalsChanged, this, &HistoryViewModel::computersChanged);
}

bool HistoryViewModel::offersAllComputers() const
{
    return m_sharedTotals && m_sharedTotals->isSharing() && m_sharedTotals->hasOtherComputers();
}

void HistoryViewModel::showAllComputers(bool all)
{
    m_allComputers = all;
    if (m_dailyDays > 0)
        loadDailyEntries(m_dailyDays);
    if (m_monthlyMonths > 0)
        loadMonthlyEntries(m_monthlyMonths);
}

// A day saved twice (after a time zone change) keeps the first total fetched. Another
// computer's days are calendar dates already, so they add to the same day wherever it was.
QMap<QDate, qint64> HistoryViewModel::dayTotals(const QDate& first) const
{
    QMap<QDate, qint64> totals;
    const LocalDateConverter converter;
    for (const DailyScreenTime& record :
         fetch(RecordQuery().where(Comparison::GreaterOrEqual, first.startOfDay()))) {
        const QDate day = converter.dateOf(record.dateSecondsSinceEpoch());
        totals.insert(day, totals.value(day, record.totalSeconds()));
    }
    return showsAllComputers() ? m_sharedTotals->allComputersDays(totals) : totals;
}

void HistoryViewModel::computeStreaks()
{
    if (!m_preferences.value(PreferenceKeys::dailyGoalEnabled)) {
        setStreaks(0, 0);
        return;
    }
    const QDate current = today();
    const QList<DailyScreenTime> records = fetch(
        RecordQuery().where(Comparison::Less, current.startOfDay()).sortedBy(RecordQuery::Order::Ascending));
    setStreaks(runEndingYesterday(records, current), longestRun(records));
}

std::optional<QString> HistoryViewModel::exportCSV(CsvFileChooser& chooser)
{
    return ::exportCSV(m_store, m_preferences, chooser, showsAllComputers() ? m_sharedTotals.get() : nullptr);
}

QDate HistoryViewModel::today() const
{
    return m_clock().toLocalTime().date();
}

QList<DailyScreenTime> HistoryViewModel::fetch(const RecordQuery& query) const
{
    if (!m_store)
        return {};
    return m_store->fetch(query);
}

// A missing day ends a run, and so does a second record for a day already counted: it starts
// a new run of one rather than counting the day twice.
qint64 HistoryViewModel::longestRun(const QList<DailyScreenTime>& ascending)
{
    qint64 run = 0;
    qint64 longest = 0;
    QDate previous;
    const LocalDateConverter converter;
    for (const DailyScreenTime& record : ascending) {
        const QDate day = converter.dateOf(record.dateSecondsSinceEpoch());
        const bool continues = !previous.isValid() || previous.daysTo(day) == 1;
        if (record.goalMet()) {
            run = continues ? run + 1 : 1;
            longest = std::max(longest, run);
        } else {
            run = 0;
        }
        previous = day;
    }
    return longest;
}

qint64 HistoryViewModel::runEndingYesterday(const QList<DailyScreenTime>& ascending, const QDate& today)
{
    QDate expected = today.addDays(-1);
    qint64 count = 0;
    const LocalDateConverter converter;
    for (auto it = ascending.crbegin(); expected.isValid() && it != ascending.crend(); ++it) {
        const QDate day = converter.dateOf(it->dateSecondsSinceEpoch());
        if (day > today.addDays(-1))
            continue;
        if (day != expected || !it->goalMet())
            break;
        ++count;
        expected = expected.addDays(-1);
    }
    return count;
}

void HistoryViewModel::setStreaks(qint64 current, qint64 longest)
{
    if (m_currentStreak != current) {
        m_currentStreak = current;
        Q_EMIT currentStreakChanged();
    }
    if (m_longestStreak != longest) {
        m_longestStreak = longest;
        Q_EMIT longestStreakChanged();
    }
}
