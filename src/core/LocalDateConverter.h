#pragma once

#include <QDate>
#include <QTimeZone>

// Turns many instants into local calendar dates in one go (a history, an export). QDateTime's
// local time goes through the C library, which checks the zone file on disk again for every
// conversion when TZ is unset; a QTimeZone reads the zone's rules once. Make one per batch, so
// a change of the system zone is seen by the next batch.
class LocalDateConverter {
public:
    LocalDateConverter();

    QDate dateOf(qint64 secondsSinceEpoch) const;

private:
    QTimeZone m_zone;
};
