#include "RecordStore.h"

#include "DailyGoal.h"
#include "Logging.h"

#include <algorithm>

namespace {
const QString updateSql =
    QStringLiteral("UPDATE DailyScreenTime SET totalSeconds = ?, goalMet = ? WHERE date = ?");
const QString deleteDaySql = QStringLiteral("DELETE FROM DailyScreenTime WHERE date = ?");
const QString insertSql =
    QStringLiteral("INSERT INTO DailyScreenTime (date, totalSeconds, goalMet) VALUES (?, ?, ?)");
} // namespace

RecordStore::RecordStore(std::unique_ptr<SqliteDatabase> database, const Preferences& preferences)
    : m_database(std::move(database))
    , m_preferences(preferences)
{}

std::optional<DailyScreenTime> RecordStore::fetchRecord(const QDateTime& day)
{
    const qint64 dayKey = day.toSecsSinceEpoch();
    if (auto pending = pendingRecord(dayKey))
        return pending;
    const QList<DailyScreenTime> records =
        fetch(RecordQuery().where(RecordQuery::Comparison::Equal, day).limitedTo(1));
    if (records.isEmpty())
        return std::nullopt;
    return records.first();
}

QList<DailyScreenTime> RecordStore::fetch(const RecordQuery& query)
{
    QString error;
    return tryFetch(query, error).value_or(QList<DailyScreenTime>());
}

std::optional<QList<DailyScreenTime>> RecordStore::tryFetch(const RecordQuery& query, QString& error)
{
    QList<DailyScreenTime> records;
    SqliteStatement* statement = m_database->prepare(query.sql());
    if (!statement) {
        error = m_database->errorMessage();
        return std::nullopt;
    }
    int index = 1;
    for (const RecordQuery::Condition& condition : query.conditions())
        statement->bind(index++, condition.dateSeconds);
    if (query.limit())
        statement->bind(index, *query.limit());

    SqliteStatement::Step step;
    while ((step = statement->step()) == SqliteStatement::Step::Row) {
        records.append(DailyScreenTime::fromStored(statement->columnInt64(0), statement->columnInt64(1),
                                                   statement->columnInt64(2),
                                                   statement->columnInt64(3) != 0));
    }
    if (step == SqliteStatement::Step::Error)
        error = m_database->errorMessage();
    statement->reset();
    if (step == SqliteStatement::Step::Error)
        return std::nullopt;
    overlayPending(records, query);
    return records;
}

void RecordStore::saveDayTotal(const QDateTime& day, qint64 totalSeconds)
{
    const qint64 dayKey = day.toSecsSinceEpoch();
    DailyScreenTime record(day, totalSeconds, isGoalMet(totalSeconds, m_preferences));
    auto existing = std::find_if(m_pending.begin(), m_pending.end(),
                                 [dayKey](const PendingSave& save) { return save.dayKey == dayKey; });
    if (existing != m_pending.end())
        existing->record = record;
    else
        m_pending.append({dayKey, record});

    if (const std::optional<QString> error = writePending())
        qCCritical(lcScreenTime, "SwiftData save failed: %s", qPrintable(*error));
    else
        m_pending.clear();
}

// All pending days go in one transaction, so a failure leaves the file as it was and the
// whole set is tried again at the next save.
std::optional<QString> RecordStore::writePending()
{
    if (!m_database->execute("BEGIN IMMEDIATE"))
        return m_database->errorMessage();
    for (const PendingSave& save : std::as_const(m_pending)) {
        if (!writeOne(save))
            return rollBack();
    }
    if (!m_database->execute("COMMIT"))
        return rollBack();
    return std::nullopt;
}

QString RecordStore::rollBack()
{
    const QString error = m_database->errorMessage();
    m_database->execute("ROLLBACK");
    return error;
}

std::optional<QString> RecordStore::replaceRecords(const QList<DailyScreenTime>& records)
{
    if (!m_database->execute("BEGIN IMMEDIATE"))
        return m_database->errorMessage();
    for (const DailyScreenTime& record : records) {
        if (!deleteDay(record.dateSecondsSinceEpoch()) || !insert(record))
            return rollBack();
    }
    if (!m_database->execute("COMMIT"))
        return rollBack();
    return std::nullopt;
}

bool RecordStore::deleteDay(qint64 dateSeconds)
{
    SqliteStatement* statement = m_database->prepare(deleteDaySql);
    if (!statement)
        return false;
    statement->bind(1, dateSeconds);
    return statement->step() == SqliteStatement::Step::Done;
}

bool RecordStore::insert(const DailyScreenTime& record)
{
    SqliteStatement* statement = m_database->prepare(insertSql);
    if (!statement)
        return false;
    statement->bind(1, record.dateSecondsSinceEpoch());
    statement->bind(2, record.totalSeconds());
    statement->bind(3, record.goalMet() ? 1 : 0);
    return statement->step() == SqliteStatement::Step::Done;
}

bool RecordStore::writeOne(const PendingSave& save)
{
    SqliteStatement* update = m_database->prepare(updateSql);
    if (!update)
        return false;
    update->bind(1, save.record.totalSeconds());
    update->bind(2, save.record.goalMet() ? 1 : 0);
    update->bind(3, save.dayKey);
    if (update->step() != SqliteStatement::Step::Done)
        return false;
    return m_database->changes() > 0 || insert(save.record);
}

std::optional<DailyScreenTime> RecordStore::pendingRecord(qint64 dayKey) const
{
    for (const PendingSave& save : m_pending) {
        if (save.dayKey == dayKey)
            return save.record;
    }
    return std::nullopt;
}

// Readers see unsaved totals as if they had been written.
void RecordStore::overlayPending(QList<DailyScreenTime>& records, const RecordQuery& query) const
{
    if (m_pending.isEmpty())
        return;
    for (const PendingSave& save : m_pending) {
        if (!query.matches(save.dayKey))
            continue;
        bool replaced = false;
        for (DailyScreenTime& record : records) {
            if (record.dateSecondsSinceEpoch() == save.dayKey) {
                record.setTotalSeconds(save.record.totalSeconds());
                record.setGoalMet(save.record.goalMet());
                replaced = true;
            }
        }
        if (!replaced)
            records.append(save.record);
    }
    if (query.order()) {
        const bool ascending = *query.order() == RecordQuery::Order::Ascending;
        std::stable_sort(records.begin(), records.end(), [ascending](const auto& a, const auto& b) {
            return ascending ? a.dateSecondsSinceEpoch() < b.dateSecondsSinceEpoch()
                             : a.dateSecondsSinceEpoch() > b.dateSecondsSinceEpoch();
        });
    }
    if (query.limit() && records.size() > *query.limit())
        records.erase(records.begin() + std::max(0, *query.limit()), records.end());
}
