#include "ScheduleLabels.h"

#include <QTime>

namespace ScheduleLabels {

QString hourLabel(int hour, const QLocale& locale)
{
    const QTime time(hour, 0);
    if (!time.isValid())
        return QString::number(hour) + QStringLiteral(":00");
    return locale.toString(time, QStringLiteral("h:00 AP"));
}

QString weekdayName(int weekday, const QLocale& locale)
{
    // Qt counts from Monday = 1 to Sunday = 7.
    const int qtDay = weekday == 1 ? Qt::Sunday : weekday - 1;
    return locale.dayName(qtDay, QLocale::LongFormat);
}

} // namespace ScheduleLabels
