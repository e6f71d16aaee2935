#include "DailyScreenTime.h"

#include "LocalDay.h"

DailyScreenTime::DailyScreenTime(const QDateTime& date, qint64 totalSeconds, bool goalMet)
    : m_dateSeconds(startOfLocalDay(date).toSecsSinceEpoch())
    , m_totalSeconds(totalSeconds)
    , m_goalMet(goalMet)
{}

DailyScreenTime DailyScreenTime::fromStored(qint64 id, qint64 dateSecondsSinceEpoch, qint64 totalSeconds,
                                            bool goalMet)
{
    DailyScreenTime record;
    record.m_id = id;
    record.m_dateSeconds = dateSecondsSinceEpoch;
    record.m_totalSeconds = totalSeconds;
    record.m_goalMet = goalMet;
    return record;
}

QDateTime DailyScreenTime::date() const
{
    return QDateTime::fromSecsSinceEpoch(m_dateSeconds);
}
