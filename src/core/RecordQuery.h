#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// A fetch of daily records by conditions on their date, with optional order and limit.
class RecordQuery {
public:
    enum class Comparison { Equal, GreaterOrEqual, Less, LessOrEqual };
    enum class Order { Ascending, Descending };

    struct Condition {
        Comparison comparison;
        qint64 dateSeconds;
    };

    RecordQuery& where(Comparison comparison, const QDateTime& date);
    RecordQuery& sortedBy(Order order);
    RecordQuery& limitedTo(int limit);

    const QList<Condition>& conditions() const { return m_conditions; }
    std::optional<Order> order() const { return m_order; }
    std::optional<int> limit() const { return m_limit; }

    bool matches(qint64 dateSeconds) const;
    // Same text for the same shape of query, so prepared statements can be reused.
    QString sql() const;

private:
    QList<Condition> m_conditions;
    std::optional<Order> m_order;
    std::optional<int> m_limit;
};
