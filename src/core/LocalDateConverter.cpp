#include "LocalDateConverter.h"

#include <QDateTime>

LocalDateConverter::LocalDateConverter()
    : m_zone(QTimeZone::systemTimeZone())
{}

QDate LocalDateConverter::dateOf(qint64 secondsSinceEpoch) const
{
    if (!m_zone.isValid())
        return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).date();
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, m_zone).date();
}
