#pragma once

#include <QDateTime>

// A day is a local calendar day, identified by the instant of its start. On a day whose
// midnight falls into a DST gap the start is the first valid instant of that day.
QDateTime startOfLocalDay(const QDateTime& moment);
