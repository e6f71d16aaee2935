#include "LocalDay.h"

QDateTime startOfLocalDay(const QDateTime& moment)
{
    return moment.toLocalTime().date().startOfDay();
}
