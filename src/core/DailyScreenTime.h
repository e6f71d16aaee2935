#pragma once

#include <QDateTime>

// One local day's active time, as persisted: the day's start, its total and whether it
// stayed under the daily goal at its last save.
class DailyScreenTime {
public:
    // Stores the start of the local day containing `date`, never the moment itself.
    DailyScreenTime(const QDateTime& date, qint64 totalSeconds, bool goalMet);

    // A record as read back from the store, identified by its row.
    static DailyScreenTime fromStored(qint64 id, qint64 dateSecondsSinceEpoch, qint64 totalSeconds,
                                      bool goalMet);

    // Persistent identity; 0 until the record has been stored.
    qint64 id() const { return m_id; }
    QDateTime date() const;
    qint64 dateSecondsSinceEpoch() const { return m_dateSeconds; }
    qint64 totalSeconds() const { return m_totalSeconds; }
    bool goalMet() const { return m_goalMet; }

    void setTotalSeconds(qint64 totalSeconds) { m_totalSeconds = totalSeconds; }
    void setGoalMet(bool goalMet) { m_goalMet = goalMet; }

private:
    DailyScreenTime() = default;

    qint64 m_id = 0;
    // The day's start as Unix seconds; converted to local time only when asked, because
    // the conversion costs more than reading the row.
    qint64 m_dateSeconds = 0;
    qint64 m_totalSeconds = 0;
    bool m_goalMet = false;
};
