#pragma once

#include <QLocale>
#include <QString>

// The names the notification pickers show for their stored numbers.
namespace ScheduleLabels {

// An hour of the day (0 to 23) on the 12-hour clock of the locale, "10:00 PM" for 22; an hour
// outside the day reads as the number followed by ":00".
QString hourLabel(int hour, const QLocale& locale = QLocale());

// A weekday in Gregorian numbering, 1 = Sunday to 7 = Saturday, by the locale's full name.
QString weekdayName(int weekday, const QLocale& locale = QLocale());

} // namespace ScheduleLabels
