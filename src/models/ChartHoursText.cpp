#include "ChartHoursText.h"

#include <cmath>

using namespace Qt::StringLiterals;

QString chartHoursText(qint64 seconds)
{
    const double hours = static_cast<double>(seconds) / 3600.0;
    if (hours < 1.0)
        return QString::number(seconds / 60) + u'm';
    if (hours == std::floor(hours))
        return QString::number(static_cast<qint64>(hours)) + u'h';
    return QString::asprintf("%.1fh", hours);
}

QString chartAnnotationText(qint64 seconds)
{
    if (seconds < 1)
        return {};
    return chartHoursText(seconds);
}
