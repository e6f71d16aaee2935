#include "FormatDuration.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString padded(qint64 value)
{
    return QString::number(value).rightJustified(2, u'0');
}

QString withSeconds(qint64 hours, qint64 minutes, qint64 seconds)
{
    if (hours > 0)
        return u"%1h %2m %3s"_s.arg(QString::number(hours), padded(minutes), padded(seconds));
    if (minutes > 0)
        return u"%1m %2s"_s.arg(QString::number(minutes), padded(seconds));
    return u"%1s"_s.arg(seconds);
}

QString withoutSeconds(qint64 hours, qint64 minutes)
{
    if (hours > 0)
        return u"%1h %2m"_s.arg(QString::number(hours), padded(minutes));
    return u"%1m"_s.arg(minutes);
}

} // namespace

QString formatDuration(qint64 seconds, bool showSeconds)
{
    // A negative duration can only come from a clock or arithmetic slip upstream; showing "0s"
    // is less alarming than a minus sign and keeps every field below non-negative.
    const qint64 total = std::max<qint64>(seconds, 0);
    const qint64 hours = total / 3600;
    const qint64 minutes = (total - hours * 3600) / 60;
    if (showSeconds)
        return withSeconds(hours, minutes, total % 60);
    return withoutSeconds(hours, minutes);
}
