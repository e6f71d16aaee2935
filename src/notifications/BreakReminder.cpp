#include "BreakReminder.h"

using namespace Qt::StringLiterals;

namespace {

QString minutesWording(qint64 minutes)
{
    return minutes == 1 ? u"1 minute"_s : u"%1 minutes"_s.arg(minutes);
}

QString hoursWording(qint64 hours)
{
    return hours == 1 ? u"1 hour"_s : u"%1 hours"_s.arg(hours);
}

} // namespace

QString breakDurationWording(qint64 minutes)
{
    if (minutes < 60)
        return minutesWording(minutes);
    const qint64 rest = minutes % 60;
    if (rest == 0)
        return hoursWording(minutes / 60);
    return u"%1 %2 min"_s.arg(hoursWording(minutes / 60)).arg(rest);
}

QString breakReminderBody(qint64 minutes)
{
    return u"You\u2019ve been at your screen for %1 straight \u2014 take a break."_s.arg(
        breakDurationWording(minutes));
}
