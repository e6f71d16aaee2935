#include "RecordQuery.h"

#include <QStringList>

namespace {
const char* sqlOperator(RecordQuery::Comparison comparison)
{
    switch (comparison) {
    case RecordQuery::Comparison::Equal:
        return "=";
    case RecordQuery::Comparison::GreaterOrEqual:
        return ">=";
    case RecordQuery::Comparison::Less:
        return "<";
    case RecordQuery::Comparison::LessOrEqual:
        return "<=";
    }
    return "=";
}
} // namespace

RecordQuery& RecordQuery::where(Comparison comparison, const QDateTime& date)
{
    m_conditions.append({comparison, date.toSecsSinceEpoch()});
    return *this;
}

RecordQuery& RecordQuery::sortedBy(Order order)
{
    m_order = order;
    return *this;
}

RecordQuery& RecordQuery::limitedTo(int limit)
{
    m_limit = limit;
    return *this;
}

bool RecordQuery::matches(qint64 dateSeconds) const
{
    for (const Condition& condition : m_conditions) {
        const qint64 bound = condition.dateSeconds;
        bool holds = false;
        switch (condition.comparison) {
        case Comparison::Equal:
            holds = dateSeconds == bound;
            break;
        case Comparison::GreaterOrEqual:
            holds = dateSeconds >= bound;
            break;
        case Comparison::Less:
            holds = dateSeconds < bound;
            break;
        case Comparison::LessOrEqual:
            holds = dateSeconds <= bound;
            break;
        }
        if (!holds)
            return false;
    }
    return true;
}

QString RecordQuery::sql() const
{
    QString text = QStringLiteral("SELECT id, date, totalSeconds, goalMet FROM DailyScreenTime");
    QStringList clauses;
    for (const Condition& condition : m_conditions)
        clauses.append(QStringLiteral("date %1 ?").arg(QLatin1StringView(sqlOperator(condition.comparison))));
    if (!clauses.isEmpty())
        text += QStringLiteral(" WHERE ") + clauses.join(QStringLiteral(" AND "));
    if (m_order)
        text += *m_order == Order::Ascending ? QStringLiteral(" ORDER BY date ASC, id ASC")
                                             : QStringLiteral(" ORDER BY date DESC, id DESC");
    if (m_limit)
        text += QStringLiteral(" LIMIT ?");
    return text;
}
